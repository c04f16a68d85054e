// File operations on Windows paths, mapped through the machine prefix. Every failure leaves the
// errno value as the thread's last error.
#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "platform/errors.h"
#include "platform/posix/host_path.h"
#include "platform/posix/host_replacement.h"
#include "platform/posix/sibling_file.h"

namespace wi::platform {

namespace {

const mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

bool Fail(int error) {
    SetLastError(static_cast<std::uint32_t>(error));
    return false;
}

// Windows refuses to replace, truncate or delete a read-only file; on posix, root could.
bool IsReadOnlyFile(const struct stat& status) {
    return !S_ISDIR(status.st_mode) && (status.st_mode & kWriteBits) == 0;
}

// A missing file, or a file that is neither a directory nor read-only: Windows refuses to
// truncate or replace a read-only file, where root on posix would not. Content written through
// a link lands in its target, so that is what counts; a replacement takes the place of the link
// itself, so then only the link counts.
enum class AtLink { kLooksAtTarget, kLooksAtLink };
bool MayGetNewContent(const std::string& host, AtLink atLink) {
    struct stat status;
    int rc = atLink == AtLink::kLooksAtLink ? lstat(host.c_str(), &status)
                                            : stat(host.c_str(), &status);
    if (rc != 0) return true;
    if (S_ISDIR(status.st_mode)) return Fail(EISDIR);
    if (IsReadOnlyFile(status)) return Fail(EACCES);
    return true;
}

ssize_t ReadSome(int fd, void* buffer, std::size_t size) {
    ssize_t count;
    do {
        count = read(fd, buffer, size);
    } while (count < 0 && errno == EINTR);
    return count;
}

bool CopyContent(int from, int to) {
    // In the kernel first: no trip of the bytes through this process, and shared extents where
    // the file system offers them. A file system that cannot (another device, an old kernel) or a
    // source that reports no length (files of /proc) is copied by reading and writing instead.
    for (bool copied = false;;) {
        const ssize_t count = copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (count > 0) {
            copied = true;
            continue;
        }
        if (count == 0 && copied) return true;
        if (count < 0 && errno == EINTR) continue;
        if (count < 0 && copied) return false;
        if (count < 0 && errno != EXDEV && errno != ENOSYS && errno != EINVAL &&
            errno != EOPNOTSUPP && errno != EPERM && errno != EBADF) {
            return false;
        }
        break;
    }
    char buffer[64 * 1024];
    for (;;) {
        ssize_t count = ReadSome(from, buffer, sizeof buffer);
        if (count < 0) return false;
        if (count == 0) return true;
        if (!posix::WriteAll(to, buffer, static_cast<std::size_t>(count))) return false;
    }
}

// Moves the finished copy onto the destination; with failIfExists never over an existing file.
bool MoveIntoPlace(const std::string& from, const std::string& to, bool failIfExists) {
    if (!failIfExists) return rename(from.c_str(), to.c_str()) == 0;
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL) return false;
    // A file system without RENAME_NOREPLACE: a hard link fails on an existing name as well.
    if (link(from.c_str(), to.c_str()) != 0) return false;
    unlink(from.c_str());
    return true;
}

class PosixFile : public File {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override { close(fd_); }

    long long Read(void* buffer, std::size_t size) override {
        ssize_t count = ReadSome(fd_, buffer, size);
        if (count < 0) SetLastError(errno);
        return count;
    }

    bool Write(const void* data, std::size_t size) override {
        return posix::WriteAll(fd_, data, size) || Fail(errno);
    }

private:
    int fd_;
};

class PosixReplacement : public PendingFile {
public:
    PosixReplacement(int fd, std::string temporary, std::string destination,
                     Durability durability)
        : fd_(fd),
          temporary_(std::move(temporary)),
          destination_(std::move(destination)),
          durability_(durability) {}
    ~PosixReplacement() override {
        if (fd_ >= 0) close(fd_);
        if (!committed_) unlink(temporary_.c_str());
    }

    long long Read(void*, std::size_t) override {
        Fail(EBADF);  // open for writing only
        return -1;
    }

    bool Write(const void* data, std::size_t size) override {
        if (fd_ < 0) return Fail(EBADF);
        if (!posix::WriteAll(fd_, data, size)) return Fail(errno);
        written_ += size;
        ReserveAhead();
        return true;
    }

    // Allocated in large pieces, a large file is written faster and later freed faster. The
    // length is the peer's word, so the space is reserved only a step ahead of what has been
    // written: a body that never comes does not hold a disk's room. A file system that cannot
    // (or a full disk) leaves the writes to allocate as they go.
    void Reserve(std::uint64_t length) override {
        if (written_ == 0) announced_ = length;
        ReserveAhead();
    }

    bool Commit() override {
        if (committed_) return true;
        if (fd_ < 0) return Fail(EBADF);
        // Space reserved beyond what was written is no content.
        if (reserved_ > written_ && ftruncate(fd_, static_cast<off_t>(written_)) != 0) {
            return Fail(errno);
        }
        const int fd = fd_;
        fd_ = -1;
        const bool flush = durability_ == Durability::kFlushed;
        if (flush && fsync(fd) != 0) {
            const int error = errno;
            close(fd);
            return Fail(error);
        }
        // A failed close can be the last write failing (a full disk): the old file stays then.
        if (close(fd) != 0) return Fail(errno);
        if (rename(temporary_.c_str(), destination_.c_str()) != 0) return Fail(errno);
        committed_ = true;
        // The rename itself lasts once the folder's entry is on disk.
        if (flush) posix::FlushFolderOf(destination_);
        return true;
    }

private:
    // How far beyond what was written the space is reserved.
    static constexpr std::uint64_t kReserveAhead = std::uint64_t{64} << 20;

    // Reserves the next step once the writes come within half a step of the reserved end.
    void ReserveAhead() {
        if (fd_ < 0 || reserved_ >= announced_ || written_ + kReserveAhead / 2 < reserved_) return;
        const std::uint64_t from = std::max(reserved_, written_);
        const std::uint64_t until = std::min(announced_, written_ + kReserveAhead);
        if (until > from && fallocate(fd_, 0, static_cast<off_t>(from),
                                      static_cast<off_t>(until - from)) == 0) {
            reserved_ = until;
        } else {
            announced_ = reserved_;  // no more tries
        }
    }

    int fd_;
    std::string temporary_;
    std::string destination_;
    Durability durability_;
    bool committed_ = false;
    std::uint64_t written_ = 0;
    std::uint64_t reserved_ = 0;   // the file's length reaches this far, written or not
    std::uint64_t announced_ = 0;  // the length the content is expected to reach
};

}  // namespace

bool CopyFile(const std::string& source, const std::string& destination, bool failIfExists) {
    std::string from, to;
    if (!posix::ToHostPath(source, from) || !posix::ToHostPath(destination, to)) return false;
    int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return Fail(errno);
    struct stat sourceStatus, destinationStatus;
    int refusal = 0;
    if (fstat(in, &sourceStatus) != 0) {
        refusal = errno;
    } else if (S_ISDIR(sourceStatus.st_mode)) {
        refusal = EISDIR;
    } else if (lstat(to.c_str(), &destinationStatus) == 0) {  // a link is replaced itself
        if (failIfExists) {
            refusal = EEXIST;
        } else if (destinationStatus.st_dev == sourceStatus.st_dev &&
                   destinationStatus.st_ino == sourceStatus.st_ino) {
            refusal = EBUSY;  // as on Windows, where a file in use cannot be replaced
        } else if (S_ISDIR(destinationStatus.st_mode)) {
            refusal = EISDIR;
        } else if (IsReadOnlyFile(destinationStatus)) {
            refusal = EACCES;
        }
    }
    if (refusal) {
        close(in);
        return Fail(refusal);
    }
    // The copy is written beside the destination and then moved onto it, so that a failed copy
    // (a full disk) leaves the old destination as it was.
    std::string copy;
    int out = posix::CreateSibling(to, copy);
    if (out < 0) {
        int error = errno;
        close(in);
        return Fail(error);
    }
    bool ok = CopyContent(in, out);
    int error = errno;
    close(in);
    if (close(out) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && !MoveIntoPlace(copy, to, failIfExists)) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        unlink(copy.c_str());
        return Fail(error ? error : EIO);
    }
    return true;
}

bool DeleteFile(const std::string& path) {
    std::string host;
    if (!posix::ToHostPath(path, host)) return false;
    struct stat status;
    if (lstat(host.c_str(), &status) != 0) return Fail(errno);
    if (S_ISDIR(status.st_mode)) return Fail(EISDIR);
    if (!S_ISLNK(status.st_mode) && IsReadOnlyFile(status)) return Fail(EACCES);
    return unlink(host.c_str()) == 0 || Fail(errno);
}

bool CreateDirectory(const std::string& path) {
    std::string host;
    if (!posix::ToHostPath(path, host)) return false;
    return mkdir(host.c_str(), 0777) == 0 || Fail(errno);
}

bool RemoveDirectory(const std::string& path) {
    std::string host;
    if (!posix::ToHostPath(path, host)) return false;
    struct stat status;
    if (lstat(host.c_str(), &status) != 0) return Fail(errno);
    if (S_ISLNK(status.st_mode)) return Fail(ENOTDIR);
    return rmdir(host.c_str()) == 0 || Fail(errno);
}

bool ListDirectory(const std::string& directory, std::vector<std::string>& names) {
    std::string host;
    if (!posix::ToHostPath(directory, host)) return false;
    DIR* stream = opendir(host.c_str());
    if (!stream) return Fail(errno);
    std::vector<std::string> found;
    errno = 0;
    while (struct dirent* entry = readdir(stream)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") found.push_back(name);
    }
    int error = errno;
    closedir(stream);
    if (error) return Fail(error);
    names.swap(found);
    return true;
}

bool GetFileSize(const std::string& path, std::uint64_t& size) {
    std::string host;
    if (!posix::ToHostPath(path, host)) return false;
    struct stat status;
    if (stat(host.c_str(), &status) != 0) return Fail(errno);
    if (S_ISDIR(status.st_mode)) return Fail(EISDIR);
    size = static_cast<std::uint64_t>(status.st_size);
    return true;
}

std::unique_ptr<File> OpenForRead(const std::string& path) {
    std::string host;
    if (!posix::ToHostPath(path, host)) return nullptr;
    int fd = open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        Fail(errno);
        return nullptr;
    }
    struct stat status;
    if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        close(fd);
        Fail(EISDIR);
        return nullptr;
    }
    return std::make_unique<PosixFile>(fd);
}

std::unique_ptr<File> OpenForWrite(const std::string& path) {
    std::string host;
    if (!posix::ToHostPath(path, host) || !MayGetNewContent(host, AtLink::kLooksAtTarget)) {
        return nullptr;
    }
    int fd = open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        Fail(errno);
        return nullptr;
    }
    return std::make_unique<PosixFile>(fd);
}

std::unique_ptr<PendingFile> OpenReplacement(const std::string& path, Durability durability) {
    std::string host;
    if (!posix::ToHostPath(path, host)) {
        return nullptr;
    }
    return posix::OpenHostReplacement(host, durability);
}

}  // namespace wi::platform

namespace wi::platform::posix {

std::unique_ptr<PendingFile> OpenHostReplacement(const std::string& host, Durability durability) {
    if (!MayGetNewContent(host, AtLink::kLooksAtLink)) {
        return nullptr;
    }
    // A replacement killed before its rename left its sibling here: it goes now.
    posix::RemoveStaleSiblings(host);
    std::string temporary;
    const int fd = posix::CreateSibling(host, temporary);
    if (fd < 0) {
        Fail(errno);
        return nullptr;
    }
    return std::make_unique<PosixReplacement>(fd, temporary, host, durability);
}

}  // namespace wi::platform::posix
