#include "platform/win32/sibling_file.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/host_file.h"

namespace wi::platform {

namespace win32 {

bool HostWidePath(const std::string& narrow, std::wstring& wide) {
    const int length = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.c_str(), -1,
                                             nullptr, 0);
    if (narrow.empty() || length <= 0) return false;
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length));
    ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.c_str(), -1, buffer.data(), length);
    wide.assign(buffer.data());
    return true;
}

bool WriteAll(HANDLE file, const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        if (!::WriteFile(file, bytes, chunk, &written, nullptr)) return false;
        if (written == 0) {
            ::SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

HANDLE CreateSibling(const std::wstring& destination, std::wstring& name) {
    static std::atomic<unsigned> counter{0};
    const std::size_t separator = destination.find_last_of(L"\\/:");
    const std::wstring folder =
        separator == std::wstring::npos ? std::wstring() : destination.substr(0, separator + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder + L".~wi" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
               std::to_wstring(++counter);
        HANDLE handle = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return handle;
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace win32

bool ReplaceHostFile(const std::string& path, const std::string& content) {
    std::wstring destination, temporary;
    if (!win32::HostWidePath(path, destination)) return false;
    HANDLE file = win32::CreateSibling(destination, temporary);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = win32::WriteAll(file, content.data(), content.size()) && ::FlushFileBuffers(file);
    ok = ::CloseHandle(file) && ok;
    if (ok && ::MoveFileExW(temporary.c_str(), destination.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    ::DeleteFileW(temporary.c_str());
    return false;
}

}  // namespace wi::platform
