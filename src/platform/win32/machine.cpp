// The real Windows machine: fixed drives by GetDriveTypeA, special folders by SHGetFolderPathA,
// free space by GetDiskFreeSpaceExW, and the system clocks.
#include "platform/win32/windows_api.h"
#include <shlobj.h>

#include "platform/machine.h"

#include "platform/errors.h"
#include "platform/narrow_path.h"
#include "platform/win32/wide_path.h"

namespace wi::platform {

namespace {

ClockTime ToClockTime(const SYSTEMTIME& parts) {
    ClockTime time;
    time.year = parts.wYear;
    time.month = parts.wMonth;
    time.day = parts.wDay;
    time.hour = parts.wHour;
    time.minute = parts.wMinute;
    time.second = parts.wSecond;
    time.millisecond = parts.wMilliseconds;
    return time;
}

bool IsKnownSpecialFolder(int id) {
    return id == kWindowsFolder || id == kSystemFolder || id == kCommonTemplates ||
           id == kCommonDocuments;
}

bool SpaceOf(const std::wstring& directory, DiskSpace& space) {
    ULARGE_INTEGER available, total, totalFree;
    if (!::GetDiskFreeSpaceExW(directory.c_str(), &available, &total, &totalFree)) return false;
    space.availableToCaller = available.QuadPart;
    space.total = total.QuadPart;
    space.totalFree = totalFree.QuadPart;
    return true;
}

class WindowsMachine : public Machine {
public:
    bool IsFixedDrive(char letter) override {
        if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
        if (letter < 'A' || letter > 'Z') return false;
        if ((::GetLogicalDrives() & (1u << (letter - 'A'))) == 0) return false;
        const char root[] = {letter, ':', '\\', '\0'};
        return ::GetDriveTypeA(root) == DRIVE_FIXED;
    }

    bool QueryDiskSpace(const std::string& path, DiskSpace& space) override {
        std::wstring wide;
        if (!win32::ToWidePath(path, wide)) return false;
        if (SpaceOf(wide, space)) return true;
        // GetDiskFreeSpaceExW wants a directory: for a file, ask about the volume holding it.
        const DWORD error = ::GetLastError();
        const DWORD attributes = ::GetFileAttributesW(wide.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ::SetLastError(error);
            return false;
        }
        wchar_t volume[MAX_PATH + 1] = {};
        return ::GetVolumePathNameW(wide.c_str(), volume, MAX_PATH + 1) && SpaceOf(volume, space);
    }

    bool GetSpecialFolder(int id, std::string& path) override {
        if (!IsKnownSpecialFolder(id)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
        // The folder is created when missing, as a caller that asks for it is about to use it.
        char buffer[MAX_PATH + 1] = {};
        const HRESULT result = ::SHGetFolderPathA(nullptr, id | CSIDL_FLAG_CREATE, nullptr,
                                                  SHGFP_TYPE_CURRENT, buffer);
        if (FAILED(result)) {
            SetLastError(static_cast<std::uint32_t>(HRESULT_CODE(result)));
            return false;
        }
        std::string folder = buffer;
        if (folder.empty()) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return false;
        }
        // No trailing backslash, found by character: 0x5C may be a double-byte trail byte.
        if (EndsWithBackslash(folder) && folder.size() > 3) folder.pop_back();
        path = folder;
        return true;
    }

    ClockTime UtcTime() override {
        SYSTEMTIME now;
        ::GetSystemTime(&now);
        return ToClockTime(now);
    }

    ClockTime LocalTime() override {
        SYSTEMTIME now;
        ::GetLocalTime(&now);
        return ToClockTime(now);
    }

    std::uint64_t MillisecondsSinceStart() override { return ::GetTickCount64(); }

    unsigned long ThreadId() override { return ::GetCurrentThreadId(); }

    void Sleep(unsigned milliseconds) override { ::Sleep(milliseconds); }
};

}  // namespace

Machine& SystemMachine() {
    static WindowsMachine* machine = new WindowsMachine;  // outlives static destructors
    return *machine;
}

// Windows has no machine prefix: the library works on the machine it runs on.
void SetMachinePrefix(const std::string&) {}

std::string MachinePrefix() { return ""; }

}  // namespace wi::platform

namespace wi::platform {

std::string MachineLockPath() {
    // The common application data folder: one for every user of the machine, and writable by
    // each of them for files of their own.
    char buffer[MAX_PATH + 1] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                                  SHGFP_TYPE_CURRENT, buffer)) ||
        buffer[0] == '\0') {
        return "";
    }
    return std::string(buffer) + "\\webinteractive-machine.lock";
}

}  // namespace wi::platform
