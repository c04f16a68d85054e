// The thread's last error: errno values, as the posix calls of this backend leave them.
#include "platform/errors.h"

#include <cstring>

#include "platform/codepage.h"

namespace wi::platform {

namespace {
thread_local std::uint32_t lastError = 0;
}

std::uint32_t LastError() { return lastError; }

void SetLastError(std::uint32_t code) { lastError = code; }

std::string SystemErrorText(std::uint32_t code) {
    if (code == 0 || code > 0x7fffffffu) return "";
    char buffer[256] = {};
    // The GNU strerror_r returns a pointer that may or may not be the buffer.
    const char* text = strerror_r(static_cast<int>(code), buffer, sizeof buffer);
    if (!text || std::strncmp(text, "Unknown error", 13) == 0) return "";
    // The C library's messages follow the locale's codeset, which is the narrow code page; keep
    // the text only when it really is valid there.
    std::string checked;
    if (!ConvertEncoding(NarrowCodeset(), NarrowCodeset(), text, checked)) return "";
    return checked;
}

}  // namespace wi::platform
