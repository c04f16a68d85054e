// The upload transport: one libcurl easy handle for the exchange, one perform per request. The
// handle keeps its connection between the requests of an exchange, as connection-based
// authentication needs.
//
// Every pass is one request that carries the whole body and the credentials for the scheme the
// caller chose from the previous answer. libcurl cannot do that for Digest: it keeps no challenge
// from one perform to the next and, for a POST, first sends a probe with an empty body and no
// credentials. So the transport answers Digest challenges itself (the Authorization or
// Proxy-Authorization header computed from the previous answer's challenge), and leaves Basic to
// libcurl, which sends it on the first request. NTLM and Negotiate are handshakes bound to one
// connection whose first leg must be answered before the credentials exist; libcurl runs them
// within one pass (its probe requests carry no body, the last leg carries it), so a pass with
// these schemes is the handshake's requests, not one.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/common/http_upload_auth.h"
#include "platform/http.h"
#include "platform/posix/http_curl.h"

namespace wi::platform {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

long CurlScheme(AuthScheme scheme) {
    switch (scheme) {
        case kAuthBasic: return static_cast<long>(CURLAUTH_BASIC);
        case kAuthNtlm: return static_cast<long>(CURLAUTH_NTLM);
        case kAuthNegotiate: return static_cast<long>(CURLAUTH_NEGOTIATE);
        default: return 0;  // Digest is answered by the transport; libcurl has no Passport
    }
}

constexpr long kUploadBuffer = 1024L * 1024;

struct Credentials {
    AuthScheme scheme = kAuthNone;
    std::string user;
    std::string password;
    DigestAnswer digest;  // Digest only
};

class CurlUploadExchange : public UploadExchangeBase {
public:
    ~CurlUploadExchange() override {
        if (easy_ != nullptr) {
            curl_easy_cleanup(easy_);
        }
        curl_slist_free_all(serverHeaders_);
        curl_slist_free_all(proxyHeaders_);
    }

    bool Open(const std::string& userAgent, const std::string& proxyServer) override {
        userAgent_ = userAgent;
        proxyServer_ = proxyServer;
        return posix::InitCurl();
    }

    bool Connect(const std::string& host, int port) override {
        if (host.empty() || port <= 0 || port > 65535) {
            return false;
        }
        host_ = host;
        port_ = port;
        return true;
    }

    bool OpenRequest(const std::string& pathWithQuery, bool secure) override {
        if (host_.empty() || easy_ != nullptr) {
            return false;
        }
        secure_ = secure;
        // The request target as libcurl sends it: the path as given, without a fragment. The
        // address leaves out a default port, as libcurl does in the absolute form for a proxy.
        target_ = MakeUploadTarget(host_, port_, pathWithQuery, secure);
        easy_ = curl_easy_init();
        return easy_ != nullptr;
    }

    bool SetCredentials(AuthTarget target, AuthScheme scheme, const std::string& user,
                        const std::string& password) override {
        if (scheme == kAuthDigest) {
            return TakeDigestChallenge(target, user, password);
        }
        if (CurlScheme(scheme) == 0) {
            return false;
        }
        (target == kAuthServer ? server_ : proxy_) = Credentials{scheme, user, password, {}};
        return true;
    }

    ExchangeResult Send(std::uint64_t length, BodySource& body) override {
        ForgetResponse();
        if (easy_ == nullptr || !body.Rewind()) {
            return ExchangeResult::kSendFailed;
        }
        bodySource_ = &body;
        curl_easy_reset(easy_);
        posix::ApplyCommonOptions(easy_);
        curl_easy_setopt(easy_, CURLOPT_URL, target_.url.c_str());
        curl_easy_setopt(easy_, CURLOPT_PATH_AS_IS, 1L);
        curl_easy_setopt(easy_, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
        curl_easy_setopt(easy_, CURLOPT_POST, 1L);
        curl_easy_setopt(easy_, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(length));
        curl_easy_setopt(easy_, CURLOPT_READFUNCTION, &CurlUploadExchange::OnRead);
        curl_easy_setopt(easy_, CURLOPT_READDATA, this);
        curl_easy_setopt(easy_, CURLOPT_SEEKFUNCTION, &CurlUploadExchange::OnSeek);
        curl_easy_setopt(easy_, CURLOPT_SEEKDATA, this);
        // Each call of OnRead fills this much of libcurl's buffer, which goes to the socket in
        // one write: a large body costs few calls and system calls per byte.
        curl_easy_setopt(easy_, CURLOPT_UPLOAD_BUFFERSIZE, kUploadBuffer);
        curl_easy_setopt(easy_, CURLOPT_USERAGENT, userAgent_.c_str());
        curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &CurlUploadExchange::OnHeader);
        curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlUploadExchange::OnBody);
        curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT, 60L);
        curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_TIME, 30L);
        if (!ApplyHeaders()) {
            bodySource_ = nullptr;
            return ExchangeResult::kSendFailed;
        }
        ApplyProxy();
        if (CurlScheme(server_.scheme) != 0) {
            curl_easy_setopt(easy_, CURLOPT_HTTPAUTH, CurlScheme(server_.scheme));
            curl_easy_setopt(easy_, CURLOPT_USERNAME, server_.user.c_str());
            curl_easy_setopt(easy_, CURLOPT_PASSWORD, server_.password.c_str());
        }
        const CURLcode code = curl_easy_perform(easy_);
        bodySource_ = nullptr;
        long status = 0;
        curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
        long connectStatus = 0;
        curl_easy_getinfo(easy_, CURLINFO_HTTP_CONNECTCODE, &connectStatus);
        if (code == CURLE_OK) {
            status_ = static_cast<int>(status);
            return ExchangeResult::kAnswered;
        }
        if (connectStatus == 407) {
            // The proxy refused to open the tunnel: its answer is the response of this request.
            status_ = 407;
            return ExchangeResult::kAnswered;
        }
        if ((status == 401 || status == 407) &&
            (code == CURLE_RECV_ERROR || code == CURLE_PARTIAL_FILE)) {
            // A challenge is complete with its headers; servers that refuse a request often
            // reset the connection without reading its body, cutting the error page short.
            status_ = static_cast<int>(status);
            return ExchangeResult::kAnswered;
        }
        switch (code) {
            case CURLE_ABORTED_BY_CALLBACK:
            case CURLE_READ_ERROR:
            case CURLE_SEND_ERROR:
            case CURLE_SEND_FAIL_REWIND:
            case CURLE_UPLOAD_FAILED:
                return ExchangeResult::kSendFailed;
            default:
                return ExchangeResult::kNoResponse;
        }
    }

private:
    bool TakeDigestChallenge(AuthTarget target, const std::string& user,
                             const std::string& password) {
        Credentials& credentials = target == kAuthServer ? server_ : proxy_;
        if (!credentials.digest.Take(challenges_, target, user, password, target_.path)) {
            return false;
        }
        credentials.scheme = kAuthDigest;
        return true;
    }

    bool ThroughProxy() const { return ViaNamedProxy(proxyServer_, host_); }

    // The fixed headers and the Digest answers of this request. The server's answer names the
    // request target as sent: the absolute address through a named proxy, the path otherwise.
    // Through an https tunnel the proxy's answer belongs to the CONNECT request.
    bool ApplyHeaders() {
        curl_slist_free_all(serverHeaders_);
        curl_slist_free_all(proxyHeaders_);
        serverHeaders_ = proxyHeaders_ = nullptr;
        std::vector<std::string> server = {"Accept: */*", "Content-Type:", "Expect:"};
        std::vector<std::string> proxy;
        const bool absolute = ThroughProxy() && !secure_;
        if (server_.scheme == kAuthDigest) {
            server.push_back("Authorization: " +
                             server_.digest.Next("POST", absolute ? target_.url : target_.path));
        }
        if (proxy_.scheme == kAuthDigest && ThroughProxy()) {
            proxy.push_back("Proxy-Authorization: " +
                            (secure_ ? proxy_.digest.Next("CONNECT", target_.authority)
                                     : proxy_.digest.Next("POST", target_.url)));
        }
        for (const std::string& header : server) {
            if ((serverHeaders_ = curl_slist_append(serverHeaders_, header.c_str())) == nullptr) {
                return false;
            }
        }
        for (const std::string& header : proxy) {
            if ((proxyHeaders_ = curl_slist_append(proxyHeaders_, header.c_str())) == nullptr) {
                return false;
            }
        }
        curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, serverHeaders_);
        curl_easy_setopt(easy_, CURLOPT_PROXYHEADER, proxyHeaders_);
        curl_easy_setopt(easy_, CURLOPT_HEADEROPT, static_cast<long>(CURLHEADER_SEPARATE));
        return true;
    }

    // A named proxy serves every host with a dot in its name; a local name under a named proxy
    // goes direct. Without a named proxy libcurl follows the system's proxy settings: http_proxy,
    // https_proxy, all_proxy and no_proxy, as downloads do (credentials in such a proxy's
    // address are libcurl's to send).
    void ApplyProxy() {
        if (proxyServer_.empty()) {
            return;
        }
        const bool viaProxy = ThroughProxy();
        curl_easy_setopt(easy_, CURLOPT_PROXY, viaProxy ? ("http://" + proxyServer_).c_str() : "");
        if (viaProxy && CurlScheme(proxy_.scheme) != 0) {
            curl_easy_setopt(easy_, CURLOPT_PROXYAUTH, CurlScheme(proxy_.scheme));
            curl_easy_setopt(easy_, CURLOPT_PROXYUSERNAME, proxy_.user.c_str());
            curl_easy_setopt(easy_, CURLOPT_PROXYPASSWORD, proxy_.password.c_str());
        }
    }

    // The body is taken from its source in pieces of at most kBodyPiece bytes; several pieces
    // fill one libcurl buffer, so that the socket is not written 4 KiB at a time.
    static size_t OnRead(char* buffer, size_t size, size_t count, void* context) {
        auto* self = static_cast<CurlUploadExchange*>(context);
        const size_t room = size * count;
        size_t filled = 0;
        while (filled < room) {
            const long long read =
                self->bodySource_->Read(buffer + filled, std::min(room - filled, kBodyPiece));
            if (read < 0) {
                return CURL_READFUNC_ABORT;
            }
            if (read == 0) {
                break;
            }
            filled += static_cast<size_t>(read);
        }
        return filled;
    }

    static int OnSeek(void* context, curl_off_t offset, int origin) {
        auto* self = static_cast<CurlUploadExchange*>(context);
        if (offset != 0 || origin != SEEK_SET) {
            return CURL_SEEKFUNC_CANTSEEK;
        }
        return self->bodySource_->Rewind() ? CURL_SEEKFUNC_OK : CURL_SEEKFUNC_FAIL;
    }

    static size_t OnHeader(char* data, size_t size, size_t count, void* context) {
        auto* self = static_cast<CurlUploadExchange*>(context);
        const std::string line(data, size * count);
        if (line.rfind("HTTP/", 0) == 0) {
            // A new response (after an interim one or an inner authentication round).
            self->ForgetResponse();
        }
        const auto colon = line.find(':');
        if (colon != std::string::npos) {
            const std::string name = Lower(line.substr(0, colon));
            if (name == "www-authenticate") {
                self->ReadChallenges(kAuthServer, line.substr(colon + 1));
            } else if (name == "proxy-authenticate") {
                self->ReadChallenges(kAuthProxy, line.substr(colon + 1));
            }
        }
        return size * count;
    }

    // Keeps the challenges of one authenticate header.
    void ReadChallenges(AuthTarget target, std::string value) {
        while (!value.empty() && (value.back() == '\n' || value.back() == '\r')) {
            value.pop_back();
        }
        challenges_.Read(target, value);
    }

    static size_t OnBody(char* data, size_t size, size_t count, void* context) {
        auto* self = static_cast<CurlUploadExchange*>(context);
        self->KeepBody(data, size * count);
        return size * count;
    }

    std::string userAgent_;
    std::string proxyServer_;
    std::string host_;
    int port_ = 0;
    bool secure_ = false;
    UploadTarget target_;
    CURL* easy_ = nullptr;
    curl_slist* serverHeaders_ = nullptr;
    curl_slist* proxyHeaders_ = nullptr;
    Credentials server_;
    Credentials proxy_;
    BodySource* bodySource_ = nullptr;
};

}  // namespace

std::unique_ptr<UploadExchange> CreateUploadExchange() {
    return std::make_unique<CurlUploadExchange>();
}

}  // namespace wi::platform
