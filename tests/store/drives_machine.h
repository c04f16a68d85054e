// The system's machine with some drives and their free space as the test sets them: store roots
// chosen by free space without disks of that size, and drives taken out of the fixed-drive list
// without changing the machine's drives (their files stay where they are). Installed for its
// lifetime.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "platform/machine.h"
#include "support/forwarding_machine.h"

namespace wi::test {

class DrivesMachine : public ForwardingMachine {
public:
    DrivesMachine() { wi::platform::SetMachine(this); }
    ~DrivesMachine() override { wi::platform::SetMachine(nullptr); }

    // Upper-case letters of drives that do not count as fixed drives here.
    std::string notFixed;
    // Bytes free per drive letter; a drive not named here reports its real space.
    std::map<char, std::uint64_t> freeBytes;
    // Called before each query, so a test can change the space as the operation goes on.
    std::function<void()> beforeQuery;

    bool IsFixedDrive(char letter) override {
        if (notFixed.find(letter) != std::string::npos) return false;
        return real().IsFixedDrive(letter);
    }
    bool QueryDiskSpace(const std::string& path, wi::platform::DiskSpace& space) override {
        if (beforeQuery) beforeQuery();
        const auto found = freeBytes.find(path.empty() ? '?' : path[0]);
        if (found == freeBytes.end()) return real().QueryDiskSpace(path, space);
        space.availableToCaller = space.totalFree = found->second;
        space.total = found->second * 2;
        return true;
    }
};

}  // namespace wi::test
