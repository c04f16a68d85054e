// The system's machine behind a class that tests derive from to fake only a part of it (the
// clock, a special folder, free space): every operation not overridden is the real machine's.
#pragma once

#include <cstdint>
#include <string>

#include "platform/machine.h"

namespace wi::test {

class ForwardingMachine : public wi::platform::Machine {
public:
    bool IsFixedDrive(char letter) override { return real().IsFixedDrive(letter); }
    bool QueryDiskSpace(const std::string& path, wi::platform::DiskSpace& space) override {
        return real().QueryDiskSpace(path, space);
    }
    bool GetSpecialFolder(int id, std::string& path) override {
        return real().GetSpecialFolder(id, path);
    }
    wi::platform::ClockTime UtcTime() override { return real().UtcTime(); }
    wi::platform::ClockTime LocalTime() override { return real().LocalTime(); }
    std::uint64_t MillisecondsSinceStart() override { return real().MillisecondsSinceStart(); }
    unsigned long ThreadId() override { return real().ThreadId(); }
    void Sleep(unsigned milliseconds) override { real().Sleep(milliseconds); }

protected:
    static wi::platform::Machine& real() { return wi::platform::SystemMachine(); }
};

}  // namespace wi::test
