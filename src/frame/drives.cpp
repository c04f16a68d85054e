#include "frame/drives.h"

#include <mutex>

#include "platform/machine.h"

namespace wi::frame {
namespace {

// Init may rebuild the list while another thread reads it.
std::mutex driveMutex;

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

void RebuildFixedDrives() {
    std::vector<std::string> drives = QueryFixedDrives();
    std::lock_guard<std::mutex> lock(driveMutex);
    DriveList().swap(drives);
}

std::vector<std::string> FixedDrives() {
    std::lock_guard<std::mutex> lock(driveMutex);
    return DriveList();
}

}  // namespace wi::frame
