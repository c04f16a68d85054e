// The machine below the library: drives, special folders and clocks. Tests swap in their own
// machine to fake free space, the drive list or the time without a real disk or clock.
#pragma once

#include <cstdint>
#include <string>

namespace wi::platform {

struct DiskSpace {
    std::uint64_t availableToCaller = 0;
    std::uint64_t total = 0;
    std::uint64_t totalFree = 0;
};

struct ClockTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Special folder identifiers.
enum SpecialFolder : int {
    kWindowsFolder = 36,
    kSystemFolder = 37,
    kCommonTemplates = 45,
    kCommonDocuments = 46,
};

class Machine {
public:
    virtual ~Machine() = default;
    // True when the drive of this letter ('A' to 'Z') is a fixed local disk.
    virtual bool IsFixedDrive(char letter) = 0;
    // Free and total space of the volume holding the Windows path; false when it cannot be queried.
    virtual bool QueryDiskSpace(const std::string& path, DiskSpace& space) = 0;
    // The Windows path of a special folder (no trailing backslash); false when it is unknown.
    virtual bool GetSpecialFolder(int id, std::string& path) = 0;
    virtual ClockTime UtcTime() = 0;
    virtual ClockTime LocalTime() = 0;
    virtual std::uint64_t MillisecondsSinceStart() = 0;
    virtual unsigned long ThreadId() = 0;
    virtual void Sleep(unsigned milliseconds) = 0;
};

// The machine in use: the system's unless a test installed another.
Machine& CurrentMachine();
// The real machine of this platform.
Machine& SystemMachine();
// Installs a replacement (not owned); null restores the system machine.
void SetMachine(Machine* machine);

}  // namespace wi::platform

namespace wi::platform {

// The folder that holds the emulated machine (posix); empty restores the default. The prefix is
// created, or completed, on first use. Windows has no prefix: both calls do nothing there.
void SetMachinePrefix(const std::string& prefix);
std::string MachinePrefix();

}  // namespace wi::platform
