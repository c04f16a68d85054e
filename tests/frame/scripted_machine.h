// A machine for frame tests: fixed drives, special folders and the clock as the test sets them;
// the rest (disk space, sleeping) is the real machine's. Installed for its lifetime.
#pragma once

#include <set>
#include <string>

#include "platform/machine.h"
#include "support/forwarding_machine.h"

namespace wi::test {

class ScriptedMachine : public ForwardingMachine {
public:
    ScriptedMachine() { wi::platform::SetMachine(this); }
    ~ScriptedMachine() override { wi::platform::SetMachine(nullptr); }

    std::string fixedDrives;            // letters, e.g. "CD"
    bool realFolders = true;            // special folders of the real machine, else none
    bool fixedClock = false;            // report utc and threadId instead of the real ones
    wi::platform::ClockTime utc;
    unsigned long threadId = 0;

    bool IsFixedDrive(char letter) override {
        return fixedDrives.find(letter) != std::string::npos;
    }
    bool GetSpecialFolder(int id, std::string& path) override {
        return realFolders && real().GetSpecialFolder(id, path);
    }
    wi::platform::ClockTime UtcTime() override { return fixedClock ? utc : real().UtcTime(); }
    unsigned long ThreadId() override { return fixedClock ? threadId : real().ThreadId(); }
};

}  // namespace wi::test
