// The real machine of the posix backend: drives from the prefix's dosdevices, free space from
// statvfs, the special folders on drive C:, and the system clocks.
#include "platform/machine.h"

#include <cerrno>
#include <ctime>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "platform/errors.h"
#include "platform/posix/host_path.h"
#include "platform/posix/machine_prefix.h"

namespace wi::platform {

namespace {

ClockTime ToClockTime(const struct tm& parts, long nanoseconds) {
    ClockTime time;
    time.year = parts.tm_year + 1900;
    time.month = parts.tm_mon + 1;
    time.day = parts.tm_mday;
    time.hour = parts.tm_hour;
    time.minute = parts.tm_min;
    time.second = parts.tm_sec;
    time.millisecond = static_cast<int>(nanoseconds / 1000000);
    return time;
}

// The time of day now, broken down by gmtime_r or localtime_r.
ClockTime WallClock(struct tm* (*breakDown)(const time_t*, struct tm*)) {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    struct tm parts;
    breakDown(&now.tv_sec, &parts);
    return ToClockTime(parts, now.tv_nsec);
}

class PosixMachine : public Machine {
public:
    bool IsFixedDrive(char letter) override {
        // Device entries are named "x::" and so never match "x:".
        std::string entry = posix::DriveEntryPath(letter);
        struct stat status;
        return !entry.empty() && stat(entry.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    }

    bool QueryDiskSpace(const std::string& path, DiskSpace& space) override {
        std::string host;
        if (!posix::ToHostPath(path, host)) return false;
        struct statvfs volume;
        if (statvfs(host.c_str(), &volume) != 0) {
            SetLastError(errno);
            return false;
        }
        space.availableToCaller = static_cast<std::uint64_t>(volume.f_bavail) * volume.f_frsize;
        space.total = static_cast<std::uint64_t>(volume.f_blocks) * volume.f_frsize;
        space.totalFree = static_cast<std::uint64_t>(volume.f_bfree) * volume.f_frsize;
        return true;
    }

    bool GetSpecialFolder(int id, std::string& path) override {
        std::string windowsPath, host;
        if (!posix::SpecialFolderWindowsPath(id, windowsPath)) {
            SetLastError(EINVAL);
            return false;
        }
        if (!posix::ToHostPath(windowsPath, host)) return false;
        if (!posix::MakeHostDirectories(host)) {
            SetLastError(errno);
            return false;
        }
        path = windowsPath;
        return true;
    }

    ClockTime UtcTime() override { return WallClock(gmtime_r); }
    ClockTime LocalTime() override { return WallClock(localtime_r); }

    std::uint64_t MillisecondsSinceStart() override {
        struct timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        return static_cast<std::uint64_t>(now.tv_sec) * 1000u +
               static_cast<std::uint64_t>(now.tv_nsec / 1000000);
    }

    unsigned long ThreadId() override { return static_cast<unsigned long>(gettid()); }

    void Sleep(unsigned milliseconds) override {
        struct timespec left;
        left.tv_sec = milliseconds / 1000;
        left.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000;
        while (nanosleep(&left, &left) != 0 && errno == EINTR) {
        }
    }
};

}  // namespace

Machine& SystemMachine() {
    static PosixMachine* machine = new PosixMachine;  // outlives static destructors
    return *machine;
}

}  // namespace wi::platform
