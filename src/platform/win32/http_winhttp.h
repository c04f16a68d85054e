// What the WinHTTP transfers share: text conversion, the process's download session, response
// reading and the trust settings. Included only by the win32 backend.
#pragma once

#include "platform/win32/windows_api.h"
#include <winhttp.h>

#include <cstdint>
#include <string>

namespace wi::platform::win32 {

// The narrow text as UTF-16; false when it holds a sequence the code page does not know.
bool ToWide(const std::string& narrow, std::wstring& wide);

// The UTF-16 text in the narrow code page; false when it holds a character the code page lacks.
bool ToNarrow(const std::wstring& wide, std::string& narrow);

// The session all downloads of the process share, so that one download may take the connection
// an earlier one to the same server left open. Asynchronous, so that a cancel need not wait for
// a call to return. Made once and never closed (downloads on other threads may still use it
// while the process ends); nullptr when it could not be made.
HINTERNET DownloadSession();

// The status code of the received response; 0 when it cannot be read.
DWORD ResponseStatus(HINTERNET request);
// The Content-Length of the received response; -1 when it has none.
std::int64_t ResponseLength(HINTERNET request);
// The value of the received response's first header of that kind; "" when it has none.
std::wstring ResponseHeader(HINTERNET request, DWORD query);

// For requests over TLS only. Before the request is sent: with a trusted authority file set,
// leaves the check of the server's chain and name to VerifyTrust instead of WinHTTP. False
// when that cannot be arranged.
bool PrepareTrust(HINTERNET request);
// After the request was sent (the TLS handshake done), before its body or its answer is used:
// true when no authority file is set, or when the server's certificate chains up to one of the
// file's certificates and names the host.
bool VerifyTrust(HINTERNET request, const std::wstring& host);

}  // namespace wi::platform::win32
