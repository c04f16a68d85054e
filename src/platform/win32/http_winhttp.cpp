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

bool SplitHttpAddress(const std::wstring& url, HttpAddress& address) {
    if (url.empty()) return false;
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    // A length of -1 asks for a pointer into the address and the part's length.
    parts.dwSchemeLength = static_cast<DWORD>(-1);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return false;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
        return false;
    }
    if (parts.lpszHostName == nullptr || parts.dwHostNameLength == 0) return false;
    address.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    address.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    address.port = parts.nPort;
    address.pathWithQuery.clear();
    if (parts.lpszUrlPath != nullptr) address.pathWithQuery.assign(parts.lpszUrlPath,
                                                                   parts.dwUrlPathLength);
    if (parts.lpszExtraInfo != nullptr) {
        // The query only: a fragment never goes on the wire.
        std::wstring extra(parts.lpszExtraInfo, parts.dwExtraInfoLength);
        address.pathWithQuery += extra.substr(0, extra.find(L'#'));
    }
    if (address.pathWithQuery.empty() || address.pathWithQuery[0] != L'/') {
        address.pathWithQuery.insert(0, L"/");
    }
    return true;
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
