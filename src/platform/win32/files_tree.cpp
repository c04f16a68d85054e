// Removing a directory tree through handles. Each entry is opened itself, never what a link
// points at, and removed through its handle (a delete disposition); a directory being emptied is
// held open without delete sharing, so it cannot be renamed or swapped for a link while its
// entries are reached through its path. A link met on the way is removed by itself.
#include "platform/win32/windows_api.h"

#include <vector>

#include "platform/common/walk_failure.h"
#include "platform/files.h"
#include "platform/narrow_path.h"
#include "platform/win32/codepage_wide.h"
#include "platform/win32/wide_path.h"

namespace wi::platform {

namespace {

bool RemoveEntry(const std::wstring& path, const std::string& narrowPath, FirstFailure& failure);

// The names in the open directory, without "." and "..". The whole listing comes first:
// removing entries while reading the directory can make a file system skip some.
bool ListOpenDirectory(HANDLE directory, std::vector<std::wstring>& names) {
    std::vector<LONGLONG> buffer(64 * 1024 / sizeof(LONGLONG));  // aligned for the records
    const DWORD size = static_cast<DWORD>(buffer.size() * sizeof(LONGLONG));
    FILE_INFO_BY_HANDLE_CLASS request = FileIdBothDirectoryRestartInfo;
    while (::GetFileInformationByHandleEx(directory, request, buffer.data(), size)) {
        request = FileIdBothDirectoryInfo;
        const char* record = reinterpret_cast<const char*>(buffer.data());
        for (;;) {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(record);
            std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") names.push_back(name);
            if (entry->NextEntryOffset == 0) break;
            record += entry->NextEntryOffset;
        }
    }
    return ::GetLastError() == ERROR_NO_MORE_FILES;
}

// Removes every entry of the open directory; every entry is tried.
bool EmptyDirectory(HANDLE directory, const std::wstring& path, const std::string& narrowPath,
                    FirstFailure& failure) {
    std::vector<std::wstring> names;
    bool ok = ListOpenDirectory(directory, names) || failure.Record(narrowPath, ::GetLastError());
    for (const std::wstring& name : names) {
        const std::string narrowName = win32::WideToNarrowReplacing(name);
        if (!RemoveEntry(path + L"\\" + name, narrowPath + "\\" + narrowName, failure)) {
            ok = false;
        }
    }
    return ok;
}

bool SetAttributes(HANDLE entry, FILE_BASIC_INFO info, DWORD attributes) {
    info.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    info.CreationTime.QuadPart = info.LastAccessTime.QuadPart = 0;  // zero times stay as they are
    info.LastWriteTime.QuadPart = info.ChangeTime.QuadPart = 0;
    return ::SetFileInformationByHandle(entry, FileBasicInfo, &info, sizeof info);
}

// Removes the entry: a directory with its content, anything else (a link included) by itself.
// A read-only entry loses the attribute first, as Windows deletes no read-only file.
bool RemoveEntry(const std::wstring& path, const std::string& narrowPath, FirstFailure& failure) {
    HANDLE entry = ::CreateFileW(
        path.c_str(), DELETE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (entry == INVALID_HANDLE_VALUE) return failure.Record(narrowPath, ::GetLastError());
    FILE_BASIC_INFO info{};
    if (!::GetFileInformationByHandleEx(entry, FileBasicInfo, &info, sizeof info)) {
        const DWORD error = ::GetLastError();
        ::CloseHandle(entry);
        return failure.Record(narrowPath, error);
    }
    const DWORD attributes = info.FileAttributes;
    const bool isLink = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !isLink &&
        !EmptyDirectory(entry, path, narrowPath, failure)) {
        ::CloseHandle(entry);
        return false;
    }
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    bool ok = !readOnly || SetAttributes(entry, info, attributes & ~FILE_ATTRIBUTE_READONLY);
    if (ok) {
        FILE_DISPOSITION_INFO disposition{TRUE};  // its one member: delete on close
        ok = ::SetFileInformationByHandle(entry, FileDispositionInfo, &disposition,
                                          sizeof disposition);
    }
    const DWORD error = ok ? 0 : ::GetLastError();
    if (!ok && readOnly) SetAttributes(entry, info, attributes);  // kept as it was
    ::CloseHandle(entry);
    return ok || failure.Record(narrowPath, error);
}

bool SamePath(const std::wstring& first, const std::wstring& second) {
    return ::CompareStringOrdinal(first.c_str(), static_cast<int>(first.size()), second.c_str(),
                                  static_cast<int>(second.size()), TRUE) == CSTR_EQUAL;
}

// A drive root ("C:\") or the current directory: never removed as a tree.
bool IsRootOrCurrent(const std::wstring& path) {
    std::wstring full = win32::FullWidePath(path);
    while (!full.empty() && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
    if (full.size() <= 2) return true;
    std::wstring current(MAX_PATH, L'\0');
    DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(current.size()), &current[0]);
    if (length >= current.size()) {
        current.assign(length, L'\0');
        length = ::GetCurrentDirectoryW(length, &current[0]);
    }
    current.resize(length < current.size() ? length : 0);
    while (!current.empty() && current.back() == L'\\') current.pop_back();
    return SamePath(full, current);
}

}  // namespace

bool RemoveTree(const std::string& path, std::string& failedPath) {
    failedPath = path;
    std::string base = path;
    if (EndsWithBackslash(base) || (!base.empty() && base.back() == '/')) base.pop_back();
    std::wstring wide;
    if (!win32::ToWidePath(base, wide)) return false;
    if (base.empty() || IsRootOrCurrent(wide)) {
        ::SetLastError(ERROR_BUSY);
        return false;
    }
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (!(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
        ::SetLastError(ERROR_DIRECTORY);
        return false;
    }
    // The walk appends names to the path: from the start in the extended-length form, a tree
    // of any depth is reached.
    FirstFailure failure(ERROR_GEN_FAILURE);  // keeps the failed entry's narrow path
    if (RemoveEntry(win32::ExtendedLengthPath(wide), base, failure)) return true;
    failedPath = failure.path;
    ::SetLastError(failure.error);
    return false;
}

}  // namespace wi::platform
