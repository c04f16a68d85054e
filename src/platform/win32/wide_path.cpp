#include "platform/win32/windows_api.h"

#include "platform/win32/wide_path.h"

#include "platform/win32/codepage_wide.h"

namespace wi::platform::win32 {

namespace {

// From this length on, a path takes the extended-length form: below MAX_PATH (260) and the 248
// characters a directory's path may have, with room for the name of a sibling written beside
// the file.
constexpr std::size_t kExtendedFrom = 200;

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.compare(0, std::wstring(prefix).size(), prefix) == 0;
}

}  // namespace

bool ToWideText(const std::string& narrow, std::wstring& wide) {
    // A NUL would end the text early and name another file.
    if (narrow.find('\0') != std::string::npos) {
        ::SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    if (!NarrowToWide(narrow, wide)) {
        ::SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return false;
    }
    return true;
}

bool ToWidePath(const std::string& narrow, std::wstring& wide) {
    if (!ToWideText(narrow, wide)) return false;
    if (wide.size() >= kExtendedFrom) wide = ExtendedLengthPath(wide);
    return true;
}

std::wstring FullWidePath(const std::wstring& path) {
    DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) return std::wstring();
    std::wstring full(length, L'\0');
    length = ::GetFullPathNameW(path.c_str(), length, &full[0], nullptr);
    full.resize(length < full.size() ? length : 0);
    return full;
}

std::wstring ExtendedLengthPath(const std::wstring& path) {
    if (StartsWith(path, L"\\\\?\\")) return path;
    const std::wstring full = FullWidePath(path);
    if (full.empty() || StartsWith(full, L"\\\\.\\")) return path;  // a device, or no full path
    if (StartsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

}  // namespace wi::platform::win32
