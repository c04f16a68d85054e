// The upload transport on WinHTTP: one session, one connection and one POST request handle for
// the exchange, sent once per pass with WinHttpSendRequest, the body written with
// WinHttpWriteData and the answer taken with WinHttpReceiveResponse. Each pass is one request
// carrying both the body and the credentials for the challenge of the latest response. Digest is
// answered by the shared Digest code, as on posix (an Authorization or Proxy-Authorization header
// of our own), so both builds send the same requests; only a proxy's Digest challenge to the
// CONNECT of an https tunnel, whose headers WinHTTP does not let us write, is left to WinHTTP.
// The server's NTLM and Negotiate handshakes are run by the transport too (SecurityHandshake):
// within one pass, a first leg without the body and a last leg with it on the same connection,
// as libcurl does on posix (WinHTTP would resend only a body handed to WinHttpSendRequest).
// WinHTTP answers the other schemes itself once credentials are set for them.
#include <algorithm>
#include <vector>

#include "platform/common/http_upload_auth.h"
#include "platform/http.h"
#include "platform/win32/http_handshake.h"
#include "platform/win32/http_winhttp.h"

namespace wi::platform {
namespace {

// The schemes WinHTTP knows carry the same bits as AuthScheme.
constexpr unsigned kKnownSchemes = kAuthBasic | kAuthNtlm | kAuthPassport | kAuthDigest |
                                   kAuthNegotiate;

// A peer that accepts no connection or stops answering ends the pass: no name lookup or connect
// gets longer than a minute, no single send or wait for the answer longer than 30 s.
constexpr int kConnectTimeoutMs = 60000;
constexpr int kTransferTimeoutMs = 30000;

// The most body bytes one WinHttpWriteData call writes.
constexpr std::size_t kBodyWrite = 1 << 20;

DWORD WinHttpTarget(AuthTarget target) {
    return target == kAuthServer ? WINHTTP_AUTH_TARGET_SERVER : WINHTTP_AUTH_TARGET_PROXY;
}

struct Credentials {
    AuthScheme scheme = kAuthNone;
    std::wstring user;
    std::wstring password;
    bool ownDigest = false;     // Digest answered by the shared code, not by WinHTTP
    bool ownHandshake = false;  // NTLM or Negotiate run by the transport, not by WinHTTP
    DigestAnswer digest;
};

class WinHttpUploadExchange : public UploadExchangeBase {
public:
    ~WinHttpUploadExchange() override {
        if (request_ != nullptr) WinHttpCloseHandle(request_);
        if (connection_ != nullptr) WinHttpCloseHandle(connection_);
        if (session_ != nullptr) WinHttpCloseHandle(session_);
    }

    bool Open(const std::string& userAgent, const std::string& proxyServer) override {
        std::wstring agent;
        std::wstring proxy;
        if (session_ != nullptr || !win32::ToWide(userAgent, agent) ||
            !win32::ToWide(proxyServer, proxy)) {
            return false;
        }
        proxyServer_ = proxyServer;
        // A named proxy serves every host whose name holds a dot; "<local>" sends the others
        // direct. Without one, the system's default proxy settings apply.
        session_ = proxy.empty()
                       ? WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                     WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0)
                       : WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_NAMED_PROXY, proxy.c_str(),
                                     L"<local>", 0);
        return session_ != nullptr &&
               WinHttpSetTimeouts(session_, kConnectTimeoutMs, kConnectTimeoutMs,
                                  kTransferTimeoutMs, kTransferTimeoutMs);
    }

    bool Connect(const std::string& host, int port) override {
        std::wstring wideHost;
        if (session_ == nullptr || connection_ != nullptr || host.empty() || port <= 0 ||
            port > 65535 || !win32::ToWide(host, wideHost)) {
            return false;
        }
        host_ = wideHost;
        hostName_ = host;
        port_ = port;
        connection_ = WinHttpConnect(session_, wideHost.c_str(),
                                     static_cast<INTERNET_PORT>(port), 0);
        return connection_ != nullptr;
    }

    bool OpenRequest(const std::string& pathWithQuery, bool secure) override {
        std::wstring target;
        if (connection_ == nullptr || request_ != nullptr ||
            !win32::ToWide(pathWithQuery.substr(0, pathWithQuery.find('#')), target)) {
            return false;
        }
        if (target.empty() || target[0] != L'/') target.insert(0, L"/");
        secure_ = secure;
        target_ = MakeUploadTarget(hostName_, port_, pathWithQuery, secure);
        // The target goes on the wire as given: the caller has already encoded it.
        const DWORD flags = WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY |
                            (secure ? WINHTTP_FLAG_SECURE : 0);
        request_ = WinHttpOpenRequest(connection_, L"POST", target.c_str(), nullptr,
                                      WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags);
        if (request_ == nullptr) return false;
        // WinHTTP never offers the logged-on user's credentials by itself: a handshake is
        // answered only with the credentials the caller gave.
        DWORD policy = WINHTTP_AUTOLOGON_SECURITY_LEVEL_HIGH;
        WinHttpSetOption(request_, WINHTTP_OPTION_AUTOLOGON_POLICY, &policy, sizeof policy);
        return WinHttpAddRequestHeaders(request_, L"Accept: */*\r\n", static_cast<DWORD>(-1),
                                        WINHTTP_ADDREQ_FLAG_ADD_IF_NEW) &&
               (!secure || win32::PrepareTrust(request_));
    }

    bool SetCredentials(AuthTarget target, AuthScheme scheme, const std::string& user,
                        const std::string& password) override {
        if (request_ != nullptr && scheme == kAuthDigest &&
            !(target == kAuthProxy && secure_ && ThroughProxy())) {
            return TakeDigestChallenge(target, user, password);
        }
        Credentials credentials;
        credentials.scheme = scheme;
        if (request_ != nullptr && target == kAuthServer &&
            (scheme == kAuthNtlm || scheme == kAuthNegotiate)) {
            credentials.ownHandshake = win32::ToWide(user, credentials.user) &&
                                       win32::ToWide(password, credentials.password);
            if (credentials.ownHandshake) server_ = credentials;
            return credentials.ownHandshake;
        }
        if (request_ == nullptr || (scheme & kKnownSchemes) == 0 ||
            (scheme & (scheme - 1)) != 0 || !win32::ToWide(user, credentials.user) ||
            !win32::ToWide(password, credentials.password)) {
            return false;
        }
        if (!Apply(target, credentials)) return false;
        (target == kAuthServer ? server_ : proxy_) = credentials;
        return true;
    }

    ExchangeResult Send(std::uint64_t length, BodySource& body) override {
        if (!server_.ownHandshake) return SendRequest(length, body, "");
        // The server's handshake: its first leg without the body; the server's token in the
        // challenge that answers it is answered by the last leg, which carries the body. Any
        // other answer to the first leg is the pass's answer.
        const std::string first =
            handshake_.Begin(server_.scheme == kAuthNtlm ? "NTLM" : "Negotiate", server_.user,
                             server_.password, host_);
        if (first.empty()) return ExchangeResult::kSendFailed;
        const ExchangeResult sent = SendRequest(0, body, first);
        const AuthChallenge* challenge = challenges_.Find(kAuthServer, server_.scheme);
        if (sent != ExchangeResult::kAnswered || status_ != 401 || challenge == nullptr ||
            challenge->token68.empty()) {
            return sent;
        }
        const std::string last = handshake_.Answer(challenge->token68);
        if (last.empty()) return ExchangeResult::kSendFailed;
        return SendRequest(length, body, last);
    }

private:
    // One request: the body of that length, and the server's handshake header where one is
    // given.
    ExchangeResult SendRequest(std::uint64_t length, BodySource& body,
                               const std::string& handshake) {
        ForgetResponse();
        if (request_ == nullptr || !body.Rewind()) return ExchangeResult::kSendFailed;
        // Credentials set in an earlier pass answer this pass's request too; where WinHTTP has
        // no challenge for them any longer it keeps what it had.
        if (server_.scheme != kAuthNone && !server_.ownDigest && !server_.ownHandshake) {
            Apply(kAuthServer, server_);
        }
        if (proxy_.scheme != kAuthNone && !proxy_.ownDigest) Apply(kAuthProxy, proxy_);
        if (!SetAuthorizationHeaders(handshake)) return ExchangeResult::kSendFailed;
        // The length goes in a header of our own: WinHTTP's total length is 32 bits. A body of
        // 4 GiB or more is announced by the header alone, which WinHTTP then takes as the
        // length of what WinHttpWriteData writes.
        const std::wstring header = L"Content-Length: " + std::to_wstring(length) + L"\r\n";
        if (!WinHttpAddRequestHeaders(request_, header.c_str(), static_cast<DWORD>(-1),
                                      WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) {
            return ExchangeResult::kSendFailed;
        }
        const DWORD total = length > MAXDWORD ? WINHTTP_IGNORE_REQUEST_TOTAL_LENGTH
                                              : static_cast<DWORD>(length);
        if (!WinHttpSendRequest(request_, WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                                WINHTTP_NO_REQUEST_DATA, 0, total, 0)) {
            return GetLastError() == ERROR_WINHTTP_RESEND_REQUEST ? ExchangeResult::kResend
                                                                  : ExchangeResult::kSendFailed;
        }
        // No byte of the body goes to a server the trust settings refuse.
        if (secure_ && !win32::VerifyTrust(request_, host_)) return ExchangeResult::kSendFailed;
        if (!WriteBody(length, body)) return ExchangeResult::kSendFailed;
        if (!WinHttpReceiveResponse(request_, nullptr)) {
            return GetLastError() == ERROR_WINHTTP_RESEND_REQUEST ? ExchangeResult::kResend
                                                                  : ExchangeResult::kNoResponse;
        }
        status_ = static_cast<int>(win32::ResponseStatus(request_));
        if (status_ == 0) return ExchangeResult::kNoResponse;
        if (status_ == 401 || status_ == 407) {
            ReadChallenges(kAuthServer, WINHTTP_QUERY_WWW_AUTHENTICATE);
            ReadChallenges(kAuthProxy, WINHTTP_QUERY_PROXY_AUTHENTICATE);
        }
        ReadBody();
        return ExchangeResult::kAnswered;
    }

    bool ThroughProxy() const { return ViaNamedProxy(proxyServer_, hostName_); }

    bool TakeDigestChallenge(AuthTarget target, const std::string& user,
                             const std::string& password) {
        Credentials& credentials = target == kAuthServer ? server_ : proxy_;
        credentials.ownDigest =
            credentials.digest.Take(challenges_, target, user, password, target_.path);
        if (credentials.ownDigest) credentials.scheme = kAuthDigest;
        return credentials.ownDigest;
    }

    // The authorization headers of our own for this request: the server's handshake header, or
    // the Digest answers, as on posix: the server's names the request target as sent (the
    // absolute address through a named proxy); the proxy's goes only to a named proxy. A header
    // of an earlier request that this one does not answer is taken away.
    bool SetAuthorizationHeaders(const std::string& handshake) {
        std::string server = handshake;
        std::string proxy;
        if (server_.ownDigest) {
            server = server_.digest.Next("POST",
                                         ThroughProxy() && !secure_ ? target_.url : target_.path);
        }
        if (proxy_.ownDigest && ThroughProxy()) proxy = proxy_.digest.Next("POST", target_.url);
        return SetHeader(L"Authorization", server, serverHeaderSet_) &&
               SetHeader(L"Proxy-Authorization", proxy, proxyHeaderSet_);
    }

    // Adds, replaces or (with an empty value) takes away a header of our own.
    bool SetHeader(const std::wstring& name, const std::string& value, bool& set) {
        if (value.empty()) {
            if (set) {
                WinHttpAddRequestHeaders(request_, (name + L":").c_str(), static_cast<DWORD>(-1),
                                         WINHTTP_ADDREQ_FLAG_REPLACE);
            }
            set = false;
            return true;
        }
        std::wstring wide;
        set = win32::ToWide(value, wide) &&
              WinHttpAddRequestHeaders(request_, (name + L": " + wide + L"\r\n").c_str(),
                                       static_cast<DWORD>(-1),
                                       WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE);
        return set;
    }

    bool Apply(AuthTarget target, const Credentials& credentials) {
        return WinHttpSetCredentials(request_, WinHttpTarget(target), credentials.scheme,
                                     credentials.user.c_str(), credentials.password.c_str(),
                                     nullptr);
    }

    // The body taken from its source in pieces of at most kBodyPiece bytes and written in writes
    // of up to kBodyWrite, so that a large body is not sent 4 KiB per call; exactly the announced
    // length, as a body that ends early cannot complete the request.
    bool WriteBody(std::uint64_t length, BodySource& body) {
        std::vector<char> write(
            static_cast<std::size_t>(std::min<std::uint64_t>(length, kBodyWrite)));
        for (std::uint64_t left = length; left > 0;) {
            const std::size_t fill =
                static_cast<std::size_t>(std::min<std::uint64_t>(left, write.size()));
            for (std::size_t filled = 0; filled < fill;) {
                const long long read = body.Read(write.data() + filled,
                                                 std::min(fill - filled, kBodyPiece));
                if (read <= 0) return false;
                filled += static_cast<std::size_t>(read);
            }
            DWORD written = 0;
            if (!WinHttpWriteData(request_, write.data(), static_cast<DWORD>(fill), &written) ||
                written != static_cast<DWORD>(fill)) {
                return false;
            }
            left -= fill;
        }
        return true;
    }

    // Reads the latest response's challenges of one kind (WWW-Authenticate or Proxy-Authenticate)
    // from the headers themselves: WinHttpQueryAuthSchemes names one target only and, in some
    // WinHTTP versions, reads only the first challenge of a header.
    void ReadChallenges(AuthTarget target, DWORD query) {
        // One header per call, no more headers than challenges kept.
        for (DWORD index = 0; index < ResponseChallenges::kKept;) {
            DWORD size = 0;
            const DWORD asked = index;
            WinHttpQueryHeaders(request_, query, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size,
                                &index);
            if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) break;
            std::wstring value(size / sizeof(wchar_t), L'\0');
            index = asked;
            if (!WinHttpQueryHeaders(request_, query, WINHTTP_HEADER_NAME_BY_INDEX, &value[0],
                                     &size, &index)) {
                break;
            }
            value.resize(size / sizeof(wchar_t));
            // Challenge syntax is ASCII; other characters cannot make a challenge answerable.
            std::string text;
            for (wchar_t c : value) text += c < 0x80 ? static_cast<char>(c) : '?';
            challenges_.Read(target, text);
        }
    }

    // Keeps the first kKeptBody bytes and reads the rest, so that the connection can serve the
    // next pass. A body cut off keeps what arrived: the status and headers are complete.
    void ReadBody() {
        char piece[8192];
        for (;;) {
            DWORD read = 0;
            if (!WinHttpReadData(request_, piece, sizeof piece, &read) || read == 0) return;
            KeepBody(piece, read);
        }
    }

    HINTERNET session_ = nullptr;
    HINTERNET connection_ = nullptr;
    HINTERNET request_ = nullptr;
    std::wstring host_;
    std::string hostName_;
    int port_ = 0;
    std::string proxyServer_;
    bool secure_ = false;
    UploadTarget target_;
    Credentials server_;
    Credentials proxy_;
    win32::SecurityHandshake handshake_;
    bool serverHeaderSet_ = false;
    bool proxyHeaderSet_ = false;
};

}  // namespace

std::unique_ptr<UploadExchange> CreateUploadExchange() {
    return std::make_unique<WinHttpUploadExchange>();
}

}  // namespace wi::platform
