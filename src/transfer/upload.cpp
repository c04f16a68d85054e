// IWebInteractive::UploadFile: posts a file's bytes and answers the authentication challenges
// of the server and of the proxy on the way.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "frame/text.h"
#include "inc/narrow_text.h"
#include "platform/http.h"
#include "transfer/display_name.h"
#include "transfer/last_status.h"
#include "transfer/proxy_discovery.h"
#include "transfer/upload_address.h"
#include "transfer/upload_body.h"
#include "webinteractive/status.h"
#include "webinteractive/transfer.h"

namespace wi::transfer {
namespace {

using wi::platform::AuthScheme;
using wi::platform::ExchangeResult;
using wi::platform::UploadExchange;

constexpr std::size_t kReplyText = 1023;     // the caller's buffer holds this and a zero
constexpr std::size_t kMaxProxyAddress = 259;

// Preference: Negotiate, NTLM, Passport, Digest; Basic only where the connection is encrypted.
AuthScheme ChooseScheme(unsigned offered, bool secure) {
    for (AuthScheme scheme : {wi::platform::kAuthNegotiate, wi::platform::kAuthNtlm,
                              wi::platform::kAuthPassport, wi::platform::kAuthDigest}) {
        if ((offered & scheme) != 0) {
            return scheme;
        }
    }
    if (secure && (offered & wi::platform::kAuthBasic) != 0) {
        return wi::platform::kAuthBasic;
    }
    return wi::platform::kAuthNone;
}

void PrintDiagnostic(const char* text) {
    std::fputs(text, stdout);
    std::fflush(stdout);
}

// The proxy that serves the address, as "host:port" with its credentials; false when the
// discovered proxy address cannot be used.
bool FindProxy(const std::string& url, std::string& server, UploadAddress& proxy) {
    ProxyInfo found;
    if (!DiscoverProxy(url, found)) {
        return true;  // none: the request goes straight to its host
    }
    if (found.address.size() > kMaxProxyAddress || !SplitUploadAddress(found.address, proxy)) {
        return false;
    }
    const bool ipv6 = proxy.host.find(':') != std::string::npos;
    server = (ipv6 ? "[" + proxy.host + "]" : proxy.host) + ":" + std::to_string(proxy.port);
    return true;
}

// The most passes of one exchange. An exchange needs at most three answers (a proxy challenge,
// a server challenge, the final answer), because a challenge of a kind already answered ends it;
// the bound also ends a transport that keeps asking for the request to be sent again.
constexpr int kMaxPasses = 6;

void CopyReply(const std::string& text, char* reply) {
    if (reply != nullptr) {
        const std::size_t length = std::min(text.size(), kReplyText);
        std::memcpy(reply, text.data(), length);
        reply[length] = '\0';
    }
}

// The exchange loop: one request per pass until a final response. 1 when one arrived. A server
// or proxy challenge that comes again after it was answered once ends the exchange: the
// credentials did not help, and a peer alternating 401 and 407 must not keep it going.
int Exchange(UploadExchange& exchange, FileBody& body, const UploadAddress& target,
             const UploadAddress& proxy, char* reply) {
    bool serverChallenged = false;
    bool proxyChallenged = false;
    AuthScheme proxyScheme = wi::platform::kAuthNone;
    for (int pass = 1; pass <= kMaxPasses; ++pass) {
        if (proxyScheme != wi::platform::kAuthNone &&
            !exchange.SetCredentials(wi::platform::kAuthProxy, proxyScheme, proxy.user,
                                     proxy.password)) {
            return 0;
        }
        const ExchangeResult sent = exchange.Send(body.length(), body);
        if (sent == ExchangeResult::kResend) {
            continue;
        }
        if (sent != ExchangeResult::kAnswered) {
            return 0;
        }
        const int status = exchange.StatusCode();
        LastUpload().status = status;
        bool complete = true;
        if (status == 200) {
            PrintDiagnostic("\nThe POST was successfully completed.");
        } else if (status == 401) {
            PrintDiagnostic("\nThe server requires authentication.  Sending credentials...");
            const AuthScheme scheme =
                ChooseScheme(exchange.OfferedSchemes(wi::platform::kAuthServer), target.secure);
            if (scheme != wi::platform::kAuthNone) {
                if (!exchange.SetCredentials(wi::platform::kAuthServer, scheme, target.user,
                                             target.password)) {
                    return 0;
                }
                complete = serverChallenged;
                if (complete) {
                    PrintDiagnostic("\nServer Authentication failed.");
                }
            }
            serverChallenged = true;
        } else if (status == 407) {
            PrintDiagnostic("\nThe proxy requires authentication.  Sending credentials...");
            proxyScheme =
                ChooseScheme(exchange.OfferedSchemes(wi::platform::kAuthProxy), target.secure);
            complete = proxyChallenged;
            if (complete) {
                PrintDiagnostic("\nProxy Authentication failed.");
            }
            proxyChallenged = true;
        } else {
            std::printf("\nStatus code %d returned.\n", status);
            std::fflush(stdout);
        }
        if (complete || pass == kMaxPasses) {
            CopyReply(exchange.Body(), reply);
            return 1;
        }
    }
    return 0;  // the last pass asked for the request again: no final answer arrived
}

}  // namespace
}  // namespace wi::transfer

namespace IWebInteractive {

int UploadFile(const char* url, const char* filePath, char* reply, const char* displayName,
               void* /*unused*/) {
    using namespace wi::transfer;
    static const std::string startText = wi::inc::NarrowFromUtf8("开始上传文件 %s 到 %s...");
    const std::string address = wi::frame::OrEmpty(url);
    const std::string path = wi::frame::OrEmpty(filePath);
    const std::string name = wi::transfer::DisplayName(displayName, path);
    IHelperInc::MakeStatus(startText.c_str(), name.c_str(), AddressForDisplay(address).c_str());
    LastUpload().Begin();

    std::string proxyServer;
    UploadAddress proxy;
    UploadAddress target;
    if (!FindProxy(address, proxyServer, proxy) || !SplitUploadAddress(address, target)) {
        return 0;
    }
    FileBody body(path);
    const auto exchange = wi::platform::CreateUploadExchange();
    if (exchange == nullptr || !exchange->Open("WinHttpPostSample", proxyServer) ||
        !exchange->Connect(target.host, target.port) ||
        !exchange->OpenRequest(target.pathWithQuery, target.secure)) {
        return 0;
    }
    return Exchange(*exchange, body, target, proxy, reply);
}

}  // namespace IWebInteractive
