#include "platform/win32/http_winhttp.h"

#include <cwchar>

#include "platform/codepage.h"

namespace wi::platform::win32 {

bool ToWide(const std::string& narrow, std::wstring& wide) {
    std::u16string text;
    if (!NarrowToUtf16(narrow, text)) return false;
    wide.assign(text.begin(), text.end());
    return true;
}

bool ToNarrow(const std::wstring& wide, std::string& narrow) {
    return Utf16ToNarrow(std::u16string(wide.begin(), wide.end()), narrow);
}

HINTERNET DownloadSession() {
    static const HINTERNET session =
        WinHttpOpen(L"webinteractive", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                    WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC);
    return session;
}

DWORD ResponseStatus(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
                             WINHTTP_NO_HEADER_INDEX)) {
        return 0;
    }
    return status;
}

std::int64_t ResponseLength(HINTERNET request) {
    wchar_t text[32] = {};
    DWORD size = sizeof text - sizeof text[0];
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX,
                             text, &size, WINHTTP_NO_HEADER_INDEX)) {
        return -1;
    }
    wchar_t* end = nullptr;
    const long long length = std::wcstoll(text, &end, 10);
    return end != text && *end == L'\0' && length >= 0 ? length : -1;
}

std::wstring ResponseHeader(HINTERNET request, DWORD query) {
    DWORD size = 0;
    WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size,
                        WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return L"";
    std::wstring value(size / sizeof(wchar_t), L'\0');
    if (!WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, &value[0], &size,
                             WINHTTP_NO_HEADER_INDEX)) {
        return L"";
    }
    value.resize(size / sizeof(wchar_t));
    return value;
}

}  // namespace wi::platform::win32
