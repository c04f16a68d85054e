// LockFileEx on the lock file: the system gives the lock back when the handle is closed or the
// process ends, also when it is killed.
#include "platform/file_lock.h"

#include "platform/win32/sibling_file.h"
#include "platform/win32/windows_api.h"

namespace wi::platform {

FileLock::FileLock(const std::string& path) {
    std::wstring wide;
    if (!win32::HostWidePath(path, wide)) return;
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    OVERLAPPED range = {};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &range)) {
        CloseHandle(file);
        return;
    }
    handle_ = reinterpret_cast<long long>(file);
}

FileLock::~FileLock() {
    if (Held()) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace wi::platform
