// DOS attributes on a posix file system. Read-only on a file is its missing write bits; hidden
// and system, and read-only on a directory, live in the extended attribute "user.DOSATTRIB" as
// Samba keeps them ("0x7"). Where the file system refuses extended attributes they are skipped
// without error. A read-only directory stays writable, as on Windows. Attributes are changed
// on the entry itself, never through a link.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/posix/host_path.h"

namespace wi::platform {

namespace {

const char kDosAttributeName[] = "user.DOSATTRIB";
const std::uint32_t kDosBits = kAttrReadOnly | kAttrHidden | kAttrSystem;
const mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

bool Unsupported(int error) { return error == ENOTSUP || error == EOPNOTSUPP; }

bool Fail(int error) {
    SetLastError(static_cast<std::uint32_t>(error));
    return false;
}

// The bits of a stored value; Samba's newer binary form begins with the same hex text, ended by
// a NUL.
std::uint32_t ParseDosAttributes(char* value, ssize_t length) {
    if (length <= 0) return 0;
    value[length] = '\0';
    return static_cast<std::uint32_t>(std::strtoul(value, nullptr, 16));
}

// The stored attribute bits of what the path names (a link's target); 0 when there are none or
// they cannot be read.
std::uint32_t ReadDosAttributes(const std::string& host) {
    char value[512];
    return ParseDosAttributes(value, getxattr(host.c_str(), kDosAttributeName, value,
                                              sizeof value - 1));
}

// The entry a path names, held open without following a link in its last name, so that every
// change lands on that entry even when the name is swapped for a link meanwhile. An entry that
// cannot be opened for reading is held by an O_PATH descriptor and changed through its
// /proc/self/fd name, which stands for exactly that entry.
class HeldEntry {
public:
    ~HeldEntry() {
        if (fd_ >= 0) close(fd_);
    }

    // False with errno set: ELOOP for a link.
    bool Open(const std::string& host) {
        fd_ = open(host.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0 && errno == EACCES) {
            fd_ = open(host.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
            if (fd_ >= 0) procPath_ = "/proc/self/fd/" + std::to_string(fd_);
        }
        if (fd_ < 0) return false;
        if (fstat(fd_, &status_) != 0) return false;
        if (S_ISLNK(status_.st_mode)) {  // O_PATH holds a link itself
            errno = ELOOP;
            return false;
        }
        return true;
    }

    const struct stat& Status() const { return status_; }

    std::uint32_t ReadDosAttributes() const {
        char value[512];
        return ParseDosAttributes(
            value, procPath_.empty()
                       ? fgetxattr(fd_, kDosAttributeName, value, sizeof value - 1)
                       : getxattr(procPath_.c_str(), kDosAttributeName, value, sizeof value - 1));
    }

    int SetAttribute(const char* name, const char* value, std::size_t size) const {
        return procPath_.empty() ? fsetxattr(fd_, name, value, size, 0)
                                 : setxattr(procPath_.c_str(), name, value, size, 0);
    }

    int RemoveAttribute(const char* name) const {
        return procPath_.empty() ? fremovexattr(fd_, name) : removexattr(procPath_.c_str(), name);
    }

    bool ChangeMode(mode_t mode) const {
        int rc = procPath_.empty() ? fchmod(fd_, mode) : chmod(procPath_.c_str(), mode);
        return rc == 0 || Fail(errno);
    }

private:
    int fd_ = -1;
    std::string procPath_;
    struct stat status_ {};
};

// Replaces the hidden, system and read-only bits of the stored value, keeping any other bit.
bool WriteDosAttributes(const HeldEntry& entry, std::uint32_t bits) {
    std::uint32_t value = (entry.ReadDosAttributes() & ~kDosBits) | bits;
    int rc;
    if (value == 0) {
        rc = entry.RemoveAttribute(kDosAttributeName);
        if (rc != 0 && errno == ENODATA) rc = 0;
    } else {
        char text[16];
        int length = std::snprintf(text, sizeof text, "0x%x", value);
        // with its NUL, as Samba writes it
        rc = entry.SetAttribute(kDosAttributeName, text, static_cast<std::size_t>(length) + 1);
    }
    return rc == 0 || Unsupported(errno) || Fail(errno);
}

}  // namespace

bool EntryExists(const std::string& path) {
    std::string host;
    if (!posix::ToHostPath(path, host)) return false;
    struct stat status;
    if (lstat(host.c_str(), &status) == 0) return true;
    SetLastError(errno);
    return false;
}

bool GetFileAttributes(const std::string& path, std::uint32_t& attributes) {
    std::string host;
    if (!posix::ToHostPath(path, host)) return false;
    struct stat status;
    if (lstat(host.c_str(), &status) != 0) {
        SetLastError(errno);
        return false;
    }
    std::uint32_t result = 0;
    if (S_ISLNK(status.st_mode)) {
        result |= kAttrReparsePoint;
        if (stat(host.c_str(), &status) != 0) {  // a dangling link is only a link
            attributes = result;
            return true;
        }
    }
    std::uint32_t stored = ReadDosAttributes(host);
    if (S_ISDIR(status.st_mode)) {
        result |= kAttrDirectory | (stored & kDosBits);
    } else {
        result |= stored & (kAttrHidden | kAttrSystem);
        if ((status.st_mode & kWriteBits) == 0) result |= kAttrReadOnly;
    }
    attributes = result ? result : static_cast<std::uint32_t>(kAttrNormal);
    return true;
}

bool SetFileAttributes(const std::string& path, std::uint32_t attributes) {
    std::string host;
    if (!posix::ToHostPath(path, host)) return false;
    HeldEntry entry;
    if (!entry.Open(host)) return Fail(errno);
    std::uint32_t bits = attributes & kDosBits;
    if (S_ISDIR(entry.Status().st_mode)) return WriteDosAttributes(entry, bits);

    // Writing an extended attribute needs write permission: lift read-only before it and set
    // read-only after it.
    mode_t mode = entry.Status().st_mode & 07777;
    bool readOnly = (mode & kWriteBits) == 0;
    bool makeReadOnly = (bits & kAttrReadOnly) != 0;
    if (readOnly && !makeReadOnly && !entry.ChangeMode(mode | S_IWUSR)) return false;
    if (!WriteDosAttributes(entry, bits & (kAttrHidden | kAttrSystem))) return false;
    if (!readOnly && makeReadOnly && !entry.ChangeMode(mode & ~kWriteBits)) return false;
    return true;
}

}  // namespace wi::platform
