// DOS attributes on a posix file system. Read-only on a file is its missing write bits; hidden
// and system, and read-only on a directory, live in the extended attribute "user.DOSATTRIB" as
// Samba keeps them ("0x7"). Where the file system refuses extended attributes they are skipped
// without error. A read-only directory stays writable, as on Windows.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/xattr.h>

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/posix/host_path.h"

namespace wi::platform {

namespace {

const char kDosAttributeName[] = "user.DOSATTRIB";
const std::uint32_t kDosBits = kAttrReadOnly | kAttrHidden | kAttrSystem;
const mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

bool Unsupported(int error) { return error == ENOTSUP || error == EOPNOTSUPP; }

// The stored attribute bits; 0 when there are none or they cannot be read. Samba's newer binary
// form begins with the same hex text, ended by a NUL.
std::uint32_t ReadDosAttributes(const std::string& host) {
    char value[512];
    ssize_t length = getxattr(host.c_str(), kDosAttributeName, value, sizeof value - 1);
    if (length <= 0) return 0;
    value[length] = '\0';
    return static_cast<std::uint32_t>(std::strtoul(value, nullptr, 16));
}

// Replaces the hidden, system and read-only bits of the stored value, keeping any other bit.
bool WriteDosAttributes(const std::string& host, std::uint32_t bits) {
    std::uint32_t value = (ReadDosAttributes(host) & ~kDosBits) | bits;
    int rc;
    if (value == 0) {
        rc = removexattr(host.c_str(), kDosAttributeName);
        if (rc != 0 && errno == ENODATA) rc = 0;
    } else {
        char text[16];
        int length = std::snprintf(text, sizeof text, "0x%x", value);
        rc = setxattr(host.c_str(), kDosAttributeName, text, static_cast<std::size_t>(length) + 1,
                      0);  // with its NUL, as Samba writes it
    }
    if (rc != 0 && !Unsupported(errno)) {
        SetLastError(errno);
        return false;
    }
    return true;
}

bool ChangeMode(const std::string& host, mode_t mode) {
    if (chmod(host.c_str(), mode) == 0) return true;
    SetLastError(errno);
    return false;
}

}  // namespace

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
    struct stat status;
    if (stat(host.c_str(), &status) != 0) {
        SetLastError(errno);
        return false;
    }
    std::uint32_t bits = attributes & kDosBits;
    if (S_ISDIR(status.st_mode)) return WriteDosAttributes(host, bits);

    // Writing an extended attribute needs write permission: lift read-only before it and set
    // read-only after it.
    mode_t mode = status.st_mode & 07777;
    bool readOnly = (mode & kWriteBits) == 0;
    bool makeReadOnly = (bits & kAttrReadOnly) != 0;
    if (readOnly && !makeReadOnly && !ChangeMode(host, mode | S_IWUSR)) return false;
    if (!WriteDosAttributes(host, bits & (kAttrHidden | kAttrSystem))) return false;
    if (!readOnly && makeReadOnly && !ChangeMode(host, mode & ~kWriteBits)) return false;
    return true;
}

}  // namespace wi::platform
