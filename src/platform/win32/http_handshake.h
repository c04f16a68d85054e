// The client side of a connection-bound authentication handshake (NTLM, Negotiate) through the
// system's security packages. The upload transport writes the handshake's Authorization headers
// itself, so that its first leg goes without the body and only its last leg carries it, as on
// posix, whether the body is large or small.
#pragma once

#include "platform/win32/windows_api.h"
#ifndef SECURITY_WIN32
#define SECURITY_WIN32
#endif
#include <security.h>

#include <string>

namespace wi::platform::win32 {

class SecurityHandshake {
public:
    SecurityHandshake() = default;
    ~SecurityHandshake() { Reset(); }
    SecurityHandshake(const SecurityHandshake&) = delete;
    SecurityHandshake& operator=(const SecurityHandshake&) = delete;

    // Starts a handshake of the scheme ("NTLM" or "Negotiate", also the package's name) for the
    // user ("DOMAIN\user" names a domain) with the server of that host. Returns the header value
    // of its first leg ("NTLM <base64>"); "" when the package refuses the credentials.
    std::string Begin(const std::string& scheme, const std::wstring& user,
                      const std::wstring& password, const std::wstring& host);
    // The header value of the next leg, answering the server's token (base64, as its challenge
    // carries it); "" when the token cannot be answered.
    std::string Answer(const std::string& serverToken);

private:
    void Reset();
    std::string Step(const std::string* serverToken);

    std::string scheme_;     // as the header names it
    std::wstring package_;   // the same, as the security package is named
    std::wstring target_;    // the server's name for the package: "HTTP/host"
    CredHandle credentials_{};
    CtxtHandle context_{};
    bool haveCredentials_ = false;
    bool haveContext_ = false;
};

}  // namespace wi::platform::win32
