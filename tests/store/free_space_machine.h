// The system's machine with the free space of some drives as the test sets it, for store roots
// chosen by free space without disks of that size. Installed for its lifetime.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "platform/machine.h"
#include "support/forwarding_machine.h"

namespace wi::test {

class FreeSpaceMachine : public ForwardingMachine {
public:
    FreeSpaceMachine() { wi::platform::SetMachine(this); }
    ~FreeSpaceMachine() override { wi::platform::SetMachine(nullptr); }

    // Bytes free per drive letter; a drive not named here reports its real space.
    std::map<char, std::uint64_t> freeBytes;
    // Called before each query, so a test can change the space as the operation goes on.
    std::function<void()> beforeQuery;

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
