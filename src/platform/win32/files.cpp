// File operations on narrow Windows paths through the wide (UTF-16) calls. Every failure leaves
// the system's error code as the thread's last error.
#include "platform/win32/windows_api.h"

#include "platform/files.h"

#include <algorithm>

#include "platform/narrow_path.h"
#include "platform/win32/codepage_wide.h"
#include "platform/win32/sibling_file.h"
#include "platform/win32/wide_path.h"

namespace wi::platform {

namespace {

// Others may read, write, rename and delete the file while it is open here, as on posix.
const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool Fail(DWORD error) {
    ::SetLastError(error);
    return false;
}

// The entry's own attributes (a link's, not its target's); INVALID_FILE_ATTRIBUTES when missing.
DWORD OwnAttributes(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()); }

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

// A missing file, a link (replaced itself), or a file that is neither a directory nor read-only:
// what may be replaced by new content.
bool MayBeReplaced(const std::wstring& path) {
    const DWORD attributes = OwnAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || IsLink(attributes)) return true;
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    return true;
}

class WindowsFile : public File {
public:
    explicit WindowsFile(HANDLE handle) : handle_(handle) {}
    ~WindowsFile() override { Close(); }

    long long Read(void* buffer, std::size_t size) override {
        DWORD read = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        if (!::ReadFile(handle_, buffer, wanted, &read, nullptr)) return -1;
        return read;
    }

    bool Write(const void* data, std::size_t size) override {
        return win32::WriteAll(handle_, data, size);
    }

    // Puts the written bytes on the disk and closes the file.
    bool FlushAndClose() { return ::FlushFileBuffers(handle_) && Close(); }

    bool Close() {
        if (handle_ == INVALID_HANDLE_VALUE) return true;
        const bool ok = ::CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE handle_;
};

// New content written to a file of its own beside the destination (so that the move onto the
// destination stays on one volume) and moved over it by Commit.
class WindowsReplacement : public PendingFile {
public:
    WindowsReplacement(HANDLE handle, std::wstring temporary, std::wstring destination,
                       bool mayReplace, Durability durability)
        : file_(std::make_unique<WindowsFile>(handle)),
          temporary_(std::move(temporary)),
          destination_(std::move(destination)),
          mayReplace_(mayReplace),
          durability_(durability) {}

    ~WindowsReplacement() override {
        if (!committed_) {
            const DWORD error = ::GetLastError();
            file_.reset();
            ::DeleteFileW(temporary_.c_str());
            ::SetLastError(error);
        }
    }

    // After Commit there is no file left to read or write.
    long long Read(void* buffer, std::size_t size) override {
        return file_ ? file_->Read(buffer, size) : (Fail(ERROR_INVALID_HANDLE), -1);
    }
    bool Write(const void* data, std::size_t size) override {
        return file_ ? file_->Write(data, size) : Fail(ERROR_INVALID_HANDLE);
    }

    bool Commit() override {
        if (committed_ || !file_) return Fail(ERROR_INVALID_HANDLE);
        const bool flush = durability_ == Durability::kFlushed;
        const bool flushed = flush ? file_->FlushAndClose() : file_->Close();
        DWORD error = ::GetLastError();
        file_.reset();
        const DWORD flags = (flush ? MOVEFILE_WRITE_THROUGH : 0) |
                            (mayReplace_ ? MOVEFILE_REPLACE_EXISTING : 0);
        if (flushed && ::MoveFileExW(temporary_.c_str(), destination_.c_str(), flags)) {
            committed_ = true;
            return true;
        }
        if (flushed) error = ::GetLastError();
        ::DeleteFileW(temporary_.c_str());
        committed_ = true;  // nothing is left to remove
        return Fail(error);
    }

private:
    std::unique_ptr<WindowsFile> file_;
    std::wstring temporary_;
    std::wstring destination_;
    bool mayReplace_;
    Durability durability_;
    bool committed_ = false;
};

std::unique_ptr<PendingFile> NewReplacement(const std::wstring& wide,
                                            bool mayReplace, Durability durability) {
    std::wstring temporary;
    HANDLE handle = win32::CreateSibling(wide, temporary);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<WindowsReplacement>(handle, temporary, wide, mayReplace, durability);
}

// The identity of an open file: its volume and its index there.
bool SameFile(HANDLE first, HANDLE second) {
    BY_HANDLE_FILE_INFORMATION a, b;
    return ::GetFileInformationByHandle(first, &a) && ::GetFileInformationByHandle(second, &b) &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

const DWORD kSettableAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// The attributes GetFileAttributes reports.
const DWORD kReportedAttributes = kSettableAttributes | FILE_ATTRIBUTE_DIRECTORY |
                                  FILE_ATTRIBUTE_REPARSE_POINT;
// What SetFileAttributes keeps of an entry's attributes besides the three it sets.
const DWORD kKeptAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED |
                              FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE;

}  // namespace

bool EntryExists(const std::string& path) {
    std::wstring wide;
    return win32::ToWidePath(path, wide) && OwnAttributes(wide) != INVALID_FILE_ATTRIBUTES;
}

bool GetFileAttributes(const std::string& path, std::uint32_t& attributes) {
    std::wstring wide;
    if (!win32::ToWidePath(path, wide)) return false;
    const DWORD found = OwnAttributes(wide);
    if (found == INVALID_FILE_ATTRIBUTES) return false;
    // Only the attributes the callers know: a file the system marks archived, compressed or
    // not indexed is a normal file here, as on every platform.
    const DWORD known = found & kReportedAttributes;
    attributes = known ? known : static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL);
    return true;
}

bool SetFileAttributes(const std::string& path, std::uint32_t attributes) {
    std::wstring wide;
    if (!win32::ToWidePath(path, wide)) return false;
    // The entry itself is opened, never what a link points at, and the attributes are set
    // through that handle: an entry swapped for a link after the look is not touched.
    HANDLE handle = ::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                  kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                  nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    FILE_BASIC_INFO info{};
    bool ok = ::GetFileInformationByHandleEx(handle, FileBasicInfo, &info, sizeof info);
    DWORD error = ok ? 0 : ::GetLastError();
    if (ok && IsLink(info.FileAttributes)) {
        ok = false;
        error = ERROR_ACCESS_DENIED;
    }
    if (ok) {
        DWORD wanted = (info.FileAttributes & kKeptAttributes) | (attributes & kSettableAttributes);
        // Zero would leave the attributes unchanged.
        if (wanted == 0) wanted = FILE_ATTRIBUTE_NORMAL;
        info.FileAttributes = wanted;
        // Zero times are left as they are.
        info.CreationTime.QuadPart = info.LastAccessTime.QuadPart = 0;
        info.LastWriteTime.QuadPart = info.ChangeTime.QuadPart = 0;
        ok = ::SetFileInformationByHandle(handle, FileBasicInfo, &info, sizeof info);
        if (!ok) error = ::GetLastError();
    }
    ::CloseHandle(handle);
    return ok || Fail(error);
}

bool CopyFile(const std::string& source, const std::string& destination, bool failIfExists) {
    std::wstring from, to;
    if (!win32::ToWidePath(source, from) || !win32::ToWidePath(destination, to)) return false;
    auto in = OpenForRead(source);
    if (!in) return false;
    HANDLE sourceHandle = ::CreateFileW(from.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
    if (sourceHandle == INVALID_HANDLE_VALUE) return false;
    DWORD refusal = 0;
    const DWORD existing = OwnAttributes(to);
    if (existing != INVALID_FILE_ATTRIBUTES) {
        HANDLE destinationHandle = ::CreateFileW(
            to.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
            FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (failIfExists) {
            refusal = ERROR_FILE_EXISTS;
        } else if (destinationHandle != INVALID_HANDLE_VALUE &&
                   SameFile(sourceHandle, destinationHandle)) {
            refusal = ERROR_SHARING_VIOLATION;  // a file cannot be replaced by itself
        } else if (!MayBeReplaced(to)) {
            refusal = ::GetLastError();
        }
        if (destinationHandle != INVALID_HANDLE_VALUE) ::CloseHandle(destinationHandle);
    }
    ::CloseHandle(sourceHandle);
    if (refusal) return Fail(refusal);
    // The copy is written beside the destination and then moved onto it, so that a failed copy
    // (a full disk) leaves the old destination as it was.
    auto out = NewReplacement(to, !failIfExists, Durability::kOrdinary);
    if (!out) return false;
    char buffer[64 * 1024];
    for (;;) {
        const long long read = in->Read(buffer, sizeof buffer);
        if (read < 0) return false;  // the copy beside is removed with `out`
        if (read == 0) break;
        if (!out->Write(buffer, static_cast<std::size_t>(read))) return false;
    }
    return out->Commit();
}

bool DeleteFile(const std::string& path) {
    std::wstring wide;
    if (!win32::ToWidePath(path, wide)) return false;
    // A link to a directory is removed as a directory entry, without touching its target.
    const DWORD attributes = OwnAttributes(wide);
    if (attributes != INVALID_FILE_ATTRIBUTES && IsLink(attributes) &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return ::RemoveDirectoryW(wide.c_str()) != 0;
    }
    return ::DeleteFileW(wide.c_str()) != 0;
}

bool CreateDirectory(const std::string& path) {
    std::wstring wide;
    return win32::ToWidePath(path, wide) && ::CreateDirectoryW(wide.c_str(), nullptr);
}

bool RemoveDirectory(const std::string& path) {
    std::wstring wide;
    if (!win32::ToWidePath(path, wide)) return false;
    const DWORD attributes = OwnAttributes(wide);
    if (attributes != INVALID_FILE_ATTRIBUTES && IsLink(attributes)) {
        return Fail(ERROR_DIRECTORY);
    }
    return ::RemoveDirectoryW(wide.c_str()) != 0;
}

bool ListDirectory(const std::string& directory, std::vector<std::string>& names) {
    std::string pattern = directory;
    if (!pattern.empty() && !EndsWithBackslash(pattern) && pattern.back() != '/') pattern += '\\';
    pattern += '*';
    std::wstring wide;
    if (!win32::ToWidePath(pattern, wide)) return false;
    WIN32_FIND_DATAW entry;
    HANDLE search = ::FindFirstFileExW(wide.c_str(), FindExInfoBasic, &entry,
                                       FindExSearchNameMatch, nullptr, 0);
    names.clear();
    if (search == INVALID_HANDLE_VALUE) return false;
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") names.push_back(win32::WideToNarrowReplacing(name));
    } while (::FindNextFileW(search, &entry));
    const DWORD error = ::GetLastError();
    ::FindClose(search);
    return error == ERROR_NO_MORE_FILES || Fail(error);
}

bool GetFileSize(const std::string& path, std::uint64_t& size) {
    std::wstring wide;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!win32::ToWidePath(path, wide) ||
        !::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) {
        return false;
    }
    // A directory has no size of its own.
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return Fail(ERROR_ACCESS_DENIED);
    size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

std::unique_ptr<File> OpenForRead(const std::string& path) {
    std::wstring wide;
    if (!win32::ToWidePath(path, wide)) return nullptr;
    HANDLE handle = ::CreateFileW(wide.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<WindowsFile>(handle);
}

std::unique_ptr<File> OpenForWrite(const std::string& path) {
    std::wstring wide;
    if (!win32::ToWidePath(path, wide)) return nullptr;
    // Opened and then cut to nothing: CREATE_ALWAYS would refuse a hidden or system file.
    HANDLE handle = ::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    // Windows refuses to open a read-only file for writing, but Wine run by root does not: the
    // attribute is looked at before anything is cut.
    BY_HANDLE_FILE_INFORMATION info;
    const bool readOnly = ::GetFileInformationByHandle(handle, &info) &&
                          (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly || !::SetEndOfFile(handle)) {
        const DWORD error = readOnly ? ERROR_ACCESS_DENIED : ::GetLastError();
        ::CloseHandle(handle);
        Fail(error);
        return nullptr;
    }
    return std::make_unique<WindowsFile>(handle);
}

std::unique_ptr<PendingFile> OpenReplacement(const std::string& path, Durability durability) {
    std::wstring wide;
    if (!win32::ToWidePath(path, wide) || !MayBeReplaced(wide)) return nullptr;
    win32::RemoveStaleSiblings(wide);
    return NewReplacement(wide, true, durability);
}

}  // namespace wi::platform
