// The thread's last error: the system's own error codes, kept where the Win32 calls leave them.
#include "platform/win32/windows_api.h"

#include "platform/errors.h"

#include "platform/codepage.h"

namespace wi::platform {

std::uint32_t LastError() { return ::GetLastError(); }

void SetLastError(std::uint32_t code) { ::SetLastError(code); }

std::string SystemErrorText(std::uint32_t code) {
    if (code == 0) return "";
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
            FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) return "";
    std::u16string wide(reinterpret_cast<const char16_t*>(buffer), length);
    ::LocalFree(buffer);
    // The system's messages end with a line break; the callers put the text inside their own.
    while (!wide.empty() && (wide.back() == u'\r' || wide.back() == u'\n' || wide.back() == u' ')) {
        wide.pop_back();
    }
    std::string narrow;
    if (!Utf16ToNarrow(wide, narrow)) return "";
    return narrow;
}

}  // namespace wi::platform
