#include "platform/posix/sibling_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/host_file.h"
#include "platform/sibling_name.h"

namespace wi::platform {

unsigned long CurrentProcessId() { return static_cast<unsigned long>(getpid()); }

bool ProcessRuns(unsigned long processId) {
    const pid_t pid = static_cast<pid_t>(processId);
    if (pid <= 0 || static_cast<unsigned long>(pid) != processId) return false;
    return kill(pid, 0) == 0 || errno != ESRCH;
}

namespace posix {

bool WriteAll(int fd, const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written == 0) errno = EIO;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

int CreateSibling(const std::string& destination, std::string& name) {
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = destination.find_last_of('/');
    const std::string directory =
        slash == std::string::npos ? std::string() : destination.substr(0, slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = directory + SiblingName(CurrentProcessId(), ++counter);
        int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

void RemoveStaleSiblings(const std::string& destination) {
    const std::size_t slash = destination.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : destination.substr(0, slash + 1);
    DIR* directory = opendir(folder.c_str());
    if (!directory) return;
    const int folderFd = dirfd(directory);
    while (const dirent* entry = readdir(directory)) {
        unsigned long processId = 0;
        if (!IsSiblingName(entry->d_name, processId)) continue;
        if (processId == CurrentProcessId() || ProcessRuns(processId)) continue;
        struct stat status;
        if (fstatat(folderFd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode)) {
            unlinkat(folderFd, entry->d_name, 0);
        }
    }
    closedir(directory);
}

void FlushFolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace posix

bool ReplaceHostFile(const std::string& path, const std::string& content) {
    posix::RemoveStaleSiblings(path);
    std::string temporary;
    const int fd = posix::CreateSibling(path, temporary);
    if (fd < 0) return false;
    const bool written = posix::WriteAll(fd, content.data(), content.size()) && fsync(fd) == 0;
    // A failed close can be the last write failing (a full disk): the old file stays then.
    if (close(fd) != 0 || !written || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    posix::FlushFolderOf(path);
    return true;
}

}  // namespace wi::platform
