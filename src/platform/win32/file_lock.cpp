// LockFileEx on the lock file: the system gives the lock back when the handle is closed or the
// process ends, also when it is killed.
#include "platform/file_lock.h"

#include <vector>

#include "platform/win32/windows_api.h"

namespace wi::platform {

FileLock::FileLock(const std::string& path) {
    const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (length <= 0) return;
    std::vector<wchar_t> wide(static_cast<std::size_t>(length));
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), length);
    HANDLE file = CreateFileW(wide.data(), GENERIC_READ | GENERIC_WRITE,
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
