#include "platform/win32/sibling_file.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/host_file.h"
#include "platform/sibling_name.h"

namespace wi::platform {

unsigned long CurrentProcessId() { return ::GetCurrentProcessId(); }

bool ProcessRuns(unsigned long processId) {
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(processId));
    if (!process) return ::GetLastError() != ERROR_INVALID_PARAMETER;
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}

namespace win32 {

namespace {

// The folder part of a path, with its separator ("" for a bare name).
std::wstring FolderOf(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/:");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

}  // namespace

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
    const std::wstring folder = FolderOf(destination);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string sibling = SiblingName(CurrentProcessId(), ++counter);
        name = folder + std::wstring(sibling.begin(), sibling.end());  // ASCII
        HANDLE handle = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return handle;
    }
    return INVALID_HANDLE_VALUE;
}

void RemoveStaleSiblings(const std::wstring& destination) {
    const std::wstring folder = FolderOf(destination);
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L".~wi*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) {
            continue;
        }
        std::string name;  // a sibling's name is ASCII: any other character rules it out
        for (const wchar_t* c = found.cFileName; *c; ++c) name += *c < 0x80 ? char(*c) : '?';
        unsigned long processId = 0;
        if (!IsSiblingName(name, processId) || processId == CurrentProcessId()) continue;
        if (!ProcessRuns(processId)) {
            ::DeleteFileW((folder + found.cFileName).c_str());
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

}  // namespace win32

bool ReplaceHostFile(const std::string& path, const std::string& content) {
    std::wstring destination, temporary;
    if (!win32::HostWidePath(path, destination)) return false;
    win32::RemoveStaleSiblings(destination);
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
