// An exclusive lock that processes share through a lock file: the lock is held while the object
// lives and is given back when it is destroyed or the process ends, however it ends.
#pragma once

#include <string>

namespace wi::platform {

class FileLock {
public:
    // Waits until this holder has the lock of the file at `path` (a path of the host system:
    // narrow, in the narrow code page), creating the file when it is missing. Two holders exclude
    // each other also within one process. Held() is false when the file cannot be opened or
    // locked; nothing is locked then.
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool Held() const { return handle_ != kNoHandle; }

private:
    static constexpr long long kNoHandle = -1;
    long long handle_ = kNoHandle;  // the lock file's descriptor or handle
};

}  // namespace wi::platform
