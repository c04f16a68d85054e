#include "platform/win32/windows_api.h"

#include "platform/win32/wide_path.h"

#include "platform/win32/codepage_wide.h"

namespace wi::platform::win32 {

bool ToWidePath(const std::string& narrow, std::wstring& wide) {
    // A NUL would end the path early and name another file.
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

}  // namespace wi::platform::win32
