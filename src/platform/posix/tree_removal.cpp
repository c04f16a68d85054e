// Removing a directory tree through descriptors. Each directory is opened relative to its
// parent with O_NOFOLLOW, listed through that descriptor and emptied with unlinkat, so no path
// string is resolved again during the walk: a directory swapped for a link meanwhile is never
// entered, and the link itself is what gets removed (or fails to be).
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/common/walk_failure.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/posix/host_path.h"

namespace wi::platform {

namespace {

bool RemoveEntryAt(int parent, const std::string& name, const std::string& windowsPath,
                   FirstFailure& failure);

// Removes every entry of the open directory, taking over its descriptor; every entry is tried.
bool EmptyDirectory(int fd, const std::string& windowsPath, FirstFailure& failure) {
    DIR* stream = fdopendir(fd);
    if (!stream) {
        const int error = errno;
        close(fd);
        return failure.Record(windowsPath, error);
    }
    // The whole listing comes first: removing entries while reading the directory can make some
    // file systems skip entries.
    std::vector<std::string> names;
    errno = 0;
    while (struct dirent* entry = readdir(stream)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    bool ok = errno == 0 || failure.Record(windowsPath, errno);
    for (const std::string& name : names) {
        if (!RemoveEntryAt(dirfd(stream), name, windowsPath + "\\" + name, failure)) ok = false;
    }
    closedir(stream);
    return ok;
}

// Removes the entry `name` of the directory `parent`: a directory with its content, anything
// else (a link included) by itself. Unlinking needs no write permission on the entry, so a
// read-only file goes as well.
bool RemoveEntryAt(int parent, const std::string& name, const std::string& windowsPath,
                   FirstFailure& failure) {
    struct stat status;
    if (fstatat(parent, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return failure.Record(windowsPath, errno);
    }
    if (S_ISDIR(status.st_mode)) {
        const int fd =
            openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0) {
            if (!EmptyDirectory(fd, windowsPath, failure)) return false;
            return unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0 ||
                   failure.Record(windowsPath, errno);
        }
        // ELOOP or ENOTDIR: since the look above the directory was swapped for a link or a
        // file, which is removed by itself below.
        if (errno != ELOOP && errno != ENOTDIR) return failure.Record(windowsPath, errno);
    }
    return unlinkat(parent, name.c_str(), 0) == 0 || failure.Record(windowsPath, errno);
}

}  // namespace

bool RemoveTree(const std::string& path, std::string& failedPath) {
    failedPath = path;
    std::string host;
    if (!posix::ToHostPath(path, host)) return false;
    // The last name is removed from its parent; the names before it are resolved as usual (a
    // link in the middle of a path counts as the directory it points at).
    const std::size_t slash = host.find_last_of('/');
    const std::string parentPath = slash == std::string::npos ? "." : host.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? host : host.substr(slash + 1);
    if (name.empty() || name == ".") {  // a drive root or the current directory
        SetLastError(EBUSY);
        return false;
    }
    const int parent = open(parentPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parent < 0) {
        SetLastError(errno);
        return false;
    }
    struct stat status;
    int refusal = 0;
    if (fstatat(parent, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        refusal = errno;
    } else if (!S_ISDIR(status.st_mode) && !S_ISLNK(status.st_mode)) {
        refusal = ENOTDIR;
    }
    FirstFailure failure(EIO);  // keeps the failed entry's Windows path
    const bool ok = refusal == 0 && RemoveEntryAt(parent, name, path, failure);
    close(parent);
    if (refusal != 0) {
        SetLastError(static_cast<std::uint32_t>(refusal));
        return false;
    }
    if (!ok) {
        failedPath = failure.path;
        SetLastError(failure.error);
    }
    return ok;
}

}  // namespace wi::platform
