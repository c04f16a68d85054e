// The proxy script of the current user's browser configuration, asked through WinHTTP. Only the
// script address is used: no automatic detection, no fixed proxy of the configuration.
#include "platform/win32/windows_api.h"
#include <winhttp.h>

#include "platform/proxy.h"

#include "platform/codepage.h"
#include "platform/common/proxy_injected.h"

namespace wi::platform {
namespace {

// A script that is slow to fetch or to run must not hold the caller longer than this.
constexpr int kScriptTimeoutMs = 30000;

// Frees the strings WinHTTP allocated for its answers.
void FreeText(LPWSTR text) {
    if (text != nullptr) GlobalFree(text);
}

// The proxy list the script names for the address; false when there is no script, the query
// fails or the answer is "no proxy".
bool AskScript(HINTERNET session, const std::string& url, std::string& proxyList) {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
    if (!WinHttpGetIEProxyConfigForCurrentUser(&config)) return false;
    bool found = false;
    std::u16string address;
    if (config.lpszAutoConfigUrl != nullptr && config.lpszAutoConfigUrl[0] != L'\0' &&
        NarrowToUtf16(url, address)) {
        WINHTTP_AUTOPROXY_OPTIONS options{};
        options.dwFlags = WINHTTP_AUTOPROXY_CONFIG_URL;
        options.lpszAutoConfigUrl = config.lpszAutoConfigUrl;
        options.fAutoLogonIfChallenged = FALSE;
        WINHTTP_PROXY_INFO answer{};
        if (WinHttpGetProxyForUrl(session, reinterpret_cast<LPCWSTR>(address.c_str()), &options,
                                  &answer)) {
            if (answer.dwAccessType != WINHTTP_ACCESS_TYPE_NO_PROXY &&
                answer.lpszProxy != nullptr && answer.lpszProxy[0] != L'\0') {
                found = Utf16ToNarrow(reinterpret_cast<const char16_t*>(answer.lpszProxy),
                                      proxyList);
            }
            FreeText(answer.lpszProxy);
            FreeText(answer.lpszProxyBypass);
        }
    }
    FreeText(config.lpszAutoConfigUrl);
    FreeText(config.lpszProxy);
    FreeText(config.lpszProxyBypass);
    return found;
}

}  // namespace

bool QueryProxyScript(const std::string& url, std::string& proxyList) {
    if (InjectedProxyList(proxyList)) return true;
    // No user agent, the default access type, asynchronous mode: the client instance the query
    // is made in, closed whatever the outcome.
    HINTERNET session = WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                    WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS,
                                    WINHTTP_FLAG_ASYNC);
    if (session == nullptr) return false;
    WinHttpSetTimeouts(session, kScriptTimeoutMs, kScriptTimeoutMs, kScriptTimeoutMs,
                       kScriptTimeoutMs);
    std::string answer;
    const bool found = AskScript(session, url, answer);
    WinHttpCloseHandle(session);
    if (found) proxyList = answer;
    return found;
}

}  // namespace wi::platform
