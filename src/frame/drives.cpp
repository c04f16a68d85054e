#include "frame/drives.h"

#include "platform/machine.h"

namespace wi::frame {
namespace {

std::vector<std::string>& DriveList() {
    static std::vector<std::string> drives;
    return drives;
}

}  // namespace

std::vector<std::string> QueryFixedDrives() {
    std::vector<std::string> drives;
    wi::platform::Machine& machine = wi::platform::CurrentMachine();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (machine.IsFixedDrive(letter)) drives.push_back(std::string(1, letter) + ":");
    }
    return drives;
}

void RebuildFixedDrives() { DriveList() = QueryFixedDrives(); }

const std::vector<std::string>& FixedDrives() { return DriveList(); }

}  // namespace wi::frame
