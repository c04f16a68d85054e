// The upload transport on WinHTTP: one session, one connection and one POST request handle for
// the exchange, sent once per pass with WinHttpSendRequest, the body written with
// WinHttpWriteData and the answer taken with WinHttpReceiveResponse. WinHTTP answers the
// challenge of the latest response itself once credentials are set for its scheme, so each pass
// is one request carrying both the body and the credentials; for NTLM and Negotiate WinHTTP adds
// the handshake's bodiless requests within the pass.
#include <algorithm>
#include <vector>

#include "platform/http.h"
#include "platform/posix/http_challenge.h"
#include "platform/posix/http_digest.h"
#include "platform/win32/http_winhttp.h"

namespace wi::platform {
namespace {

// The schemes WinHTTP knows carry the same bits as AuthScheme.
constexpr unsigned kKnownSchemes = kAuthBasic | kAuthNtlm | kAuthPassport | kAuthDigest |
                                   kAuthNegotiate;

// The challenges of one kind read from a response, as on posix.
constexpr std::size_t kKeptChallenges = 32;

// A peer that accepts no connection or stops answering ends the pass: no name lookup or connect
// gets longer than a minute, no single send or wait for the answer longer than 30 s.
constexpr int kConnectTimeoutMs = 60000;
constexpr int kTransferTimeoutMs = 30000;

DWORD WinHttpTarget(AuthTarget target) {
    return target == kAuthServer ? WINHTTP_AUTH_TARGET_SERVER : WINHTTP_AUTH_TARGET_PROXY;
}

struct Credentials {
    AuthScheme scheme = kAuthNone;
    std::wstring user;
    std::wstring password;
};

class WinHttpUploadExchange : public UploadExchange {
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
        // The target goes on the wire as given: the caller has already encoded it.
        const DWORD flags = WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY |
                            (secure ? WINHTTP_FLAG_SECURE : 0);
        request_ = WinHttpOpenRequest(connection_, L"POST", target.c_str(), nullptr,
                                      WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags);
        return request_ != nullptr &&
               WinHttpAddRequestHeaders(request_, L"Accept: */*\r\n", static_cast<DWORD>(-1),
                                        WINHTTP_ADDREQ_FLAG_ADD_IF_NEW) &&
               (!secure || win32::PrepareTrust(request_));
    }

    bool SetCredentials(AuthTarget target, AuthScheme scheme, const std::string& user,
                        const std::string& password) override {
        Credentials credentials;
        credentials.scheme = scheme;
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
        status_ = 0;
        offered_[kAuthServer] = offered_[kAuthProxy] = 0;
        body_.clear();
        // WinHTTP announces at most a 32-bit length for a body written with WinHttpWriteData.
        if (request_ == nullptr || length >= MAXDWORD ||
            !body.Rewind()) {
            return ExchangeResult::kSendFailed;
        }
        // Credentials set in an earlier pass answer this pass's request too; where WinHTTP has
        // no challenge for them any longer it keeps what it had.
        if (server_.scheme != kAuthNone) Apply(kAuthServer, server_);
        if (proxy_.scheme != kAuthNone) Apply(kAuthProxy, proxy_);
        const std::wstring header = L"Content-Length: " + std::to_wstring(length) + L"\r\n";
        if (!WinHttpAddRequestHeaders(request_, header.c_str(), static_cast<DWORD>(-1),
                                      WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) {
            return ExchangeResult::kSendFailed;
        }
        if (!WinHttpSendRequest(request_, WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                                WINHTTP_NO_REQUEST_DATA, 0, static_cast<DWORD>(length), 0)) {
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
            offered_[kAuthServer] = OfferedBy(WINHTTP_QUERY_WWW_AUTHENTICATE);
            offered_[kAuthProxy] = OfferedBy(WINHTTP_QUERY_PROXY_AUTHENTICATE);
        }
        ReadBody();
        return ExchangeResult::kAnswered;
    }

    int StatusCode() const override { return status_; }
    unsigned OfferedSchemes(AuthTarget target) const override { return offered_[target]; }
    const std::string& Body() const override { return body_; }

private:
    bool Apply(AuthTarget target, const Credentials& credentials) {
        return WinHttpSetCredentials(request_, WinHttpTarget(target), credentials.scheme,
                                     credentials.user.c_str(), credentials.password.c_str(),
                                     nullptr);
    }

    // The body in pieces of at most kBodyPiece bytes; exactly the announced length, as a body
    // that ends early cannot complete the request.
    bool WriteBody(std::uint64_t length, BodySource& body) {
        std::vector<char> piece(kBodyPiece);
        for (std::uint64_t left = length; left > 0;) {
            const std::size_t want =
                static_cast<std::size_t>(std::min<std::uint64_t>(left, kBodyPiece));
            const long long read = body.Read(piece.data(), want);
            if (read <= 0) return false;
            DWORD written = 0;
            if (!WinHttpWriteData(request_, piece.data(), static_cast<DWORD>(read), &written) ||
                written != static_cast<DWORD>(read)) {
                return false;
            }
            left -= static_cast<std::uint64_t>(read);
        }
        return true;
    }

    // The schemes the latest response's challenges of one kind (WWW-Authenticate or
    // Proxy-Authenticate) offer and the transport can answer. Read from the headers themselves:
    // WinHttpQueryAuthSchemes names one target only and, in some WinHTTP versions, reads only the
    // first challenge of a header.
    unsigned OfferedBy(DWORD query) {
        unsigned offered = 0;
        std::size_t kept = 0;
        // One header per call, up to the same number of challenges a response keeps on posix.
        for (DWORD index = 0; kept < kKeptChallenges;) {
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
            std::vector<posix::AuthChallenge> challenges;
            posix::ParseChallenges(text, challenges);
            for (std::size_t i = 0; i < challenges.size() && kept < kKeptChallenges; ++i, ++kept) {
                offered |= posix::SchemeOf(challenges[i]);
            }
        }
        return offered;
    }

    // Keeps the first kKeptBody bytes and reads the rest, so that the connection can serve the
    // next pass. A body cut off keeps what arrived: the status and headers are complete.
    void ReadBody() {
        char piece[8192];
        for (;;) {
            DWORD read = 0;
            if (!WinHttpReadData(request_, piece, sizeof piece, &read) || read == 0) return;
            if (body_.size() < kKeptBody) {
                body_.append(piece, std::min<std::size_t>(read, kKeptBody - body_.size()));
            }
        }
    }

    HINTERNET session_ = nullptr;
    HINTERNET connection_ = nullptr;
    HINTERNET request_ = nullptr;
    std::wstring host_;
    bool secure_ = false;
    Credentials server_;
    Credentials proxy_;
    int status_ = 0;
    unsigned offered_[2] = {0, 0};
    std::string body_;
};

}  // namespace

std::unique_ptr<UploadExchange> CreateUploadExchange() {
    return std::make_unique<WinHttpUploadExchange>();
}

}  // namespace wi::platform
