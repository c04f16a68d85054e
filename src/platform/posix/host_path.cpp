#include "platform/posix/host_path.h"

#include <cerrno>
#include <sys/stat.h>

#include "platform/errors.h"
#include "platform/posix/machine_prefix.h"
#include "platform/posix/windows_path.h"

namespace wi::platform::posix {

std::string DriveEntryPath(char letter) {
    if (!((letter >= 'a' && letter <= 'z') || (letter >= 'A' && letter <= 'Z'))) return "";
    std::string prefix = PreparedMachinePrefix();
    if (prefix.empty()) return "";
    return prefix + "/dosdevices/" + static_cast<char>(letter | 0x20) + ":";
}

bool ToHostPath(const std::string& windowsPath, std::string& hostPath) {
    hostPath.clear();
    WindowsPath path;
    if (!ParseWindowsPath(windowsPath, path)) {
        SetLastError(ENOENT);
        return false;
    }
    std::string entry = DriveEntryPath(path.drive);
    struct stat status;
    if (entry.empty() || lstat(entry.c_str(), &status) != 0) {
        SetLastError(ENOENT);
        return false;
    }
    // The trailing slash makes the drive root resolve through its link, so that the root itself
    // is seen as the directory it points at, never as the link.
    std::string host = entry + "/";
    for (std::size_t i = 0; i < path.names.size(); ++i) {
        if (i > 0) host += '/';
        host += path.names[i];
    }
    hostPath = host;
    return true;
}

}  // namespace wi::platform::posix
