#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include "platform/win32/wide_path.h"

#include "platform/codepage.h"

namespace wi::platform::win32 {

bool ToWidePath(const std::string& narrow, std::wstring& wide) {
    if (narrow.find('\0') != std::string::npos) {
        ::SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    std::u16string utf16;
    if (!NarrowToUtf16(narrow, utf16)) {
        ::SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return false;
    }
    wide.assign(utf16.begin(), utf16.end());
    return true;
}

std::string ToNarrowName(const std::wstring& wide) {
    std::string narrow;
    if (Utf16ToNarrow(std::u16string(wide.begin(), wide.end()), narrow)) return narrow;
    const int length = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                             nullptr, 0, nullptr, nullptr);
    if (length <= 0) return "";
    narrow.assign(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &narrow[0],
                          length, nullptr, nullptr);
    return narrow;
}

}  // namespace wi::platform::win32
