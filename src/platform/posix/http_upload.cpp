// The upload transport: one libcurl easy handle for the exchange, one perform per request. The
// handle keeps its connection between the requests of an exchange, as connection-based
// authentication needs.
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/http.h"
#include "platform/posix/http_curl.h"

namespace wi::platform {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The schemes named by the challenges of one authenticate header ("Digest realm=..., nonce=...",
// "Negotiate, NTLM"): every comma-separated item whose first word is a scheme name.
unsigned SchemesOfChallenge(const std::string& value) {
    unsigned schemes = 0;
    std::size_t start = 0;
    while (start <= value.size()) {
        std::size_t end = value.find(',', start);
        if (end == std::string::npos) {
            end = value.size();
        }
        const std::string item = Trim(value.substr(start, end - start));
        const std::string word = Lower(item.substr(0, item.find_first_of(" \t")));
        if (word.find('=') == std::string::npos) {
            if (word == "basic") schemes |= kAuthBasic;
            if (word == "ntlm") schemes |= kAuthNtlm;
            if (word.rfind("passport", 0) == 0) schemes |= kAuthPassport;
            if (word == "digest") schemes |= kAuthDigest;
            if (word == "negotiate") schemes |= kAuthNegotiate;
        }
        start = end + 1;
    }
    return schemes;
}

long CurlScheme(AuthScheme scheme) {
    switch (scheme) {
        case kAuthBasic: return static_cast<long>(CURLAUTH_BASIC);
        case kAuthNtlm: return static_cast<long>(CURLAUTH_NTLM);
        case kAuthDigest: return static_cast<long>(CURLAUTH_DIGEST);
        case kAuthNegotiate: return static_cast<long>(CURLAUTH_NEGOTIATE);
        default: return 0;  // libcurl has no Passport
    }
}

struct Credentials {
    long scheme = 0;
    std::string user;
    std::string password;
};

class CurlUploadExchange : public UploadExchange {
public:
    ~CurlUploadExchange() override {
        if (easy_ != nullptr) {
            curl_easy_cleanup(easy_);
        }
        curl_slist_free_all(headers_);
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
        const std::string host = host_.find(':') != std::string::npos ? "[" + host_ + "]" : host_;
        url_ = std::string(secure ? "https" : "http") + "://" + host + ":" + std::to_string(port_) +
               (pathWithQuery.empty() || pathWithQuery[0] != '/' ? "/" : "") + pathWithQuery;
        easy_ = curl_easy_init();
        for (const char* header : {"Accept: */*", "Content-Type:", "Expect:"}) {
            headers_ = curl_slist_append(headers_, header);
        }
        return easy_ != nullptr && headers_ != nullptr;
    }

    bool SetCredentials(AuthTarget target, AuthScheme scheme, const std::string& user,
                        const std::string& password) override {
        const long curlScheme = CurlScheme(scheme);
        if (curlScheme == 0) {
            return false;
        }
        (target == kAuthServer ? server_ : proxy_) = Credentials{curlScheme, user, password};
        return true;
    }

    ExchangeResult Send(std::uint64_t length, BodySource& body) override {
        status_ = 0;
        offered_[kAuthServer] = offered_[kAuthProxy] = 0;
        body_.clear();
        if (easy_ == nullptr || !body.Rewind()) {
            return ExchangeResult::kSendFailed;
        }
        bodySource_ = &body;
        curl_easy_reset(easy_);
        posix::ApplyCommonOptions(easy_);
        curl_easy_setopt(easy_, CURLOPT_URL, url_.c_str());
        curl_easy_setopt(easy_, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
        curl_easy_setopt(easy_, CURLOPT_POST, 1L);
        curl_easy_setopt(easy_, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(length));
        curl_easy_setopt(easy_, CURLOPT_READFUNCTION, &CurlUploadExchange::OnRead);
        curl_easy_setopt(easy_, CURLOPT_READDATA, this);
        curl_easy_setopt(easy_, CURLOPT_SEEKFUNCTION, &CurlUploadExchange::OnSeek);
        curl_easy_setopt(easy_, CURLOPT_SEEKDATA, this);
        curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, headers_);
        curl_easy_setopt(easy_, CURLOPT_USERAGENT, userAgent_.c_str());
        curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &CurlUploadExchange::OnHeader);
        curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlUploadExchange::OnBody);
        curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT, 60L);
        curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_TIME, 30L);
        ApplyProxy();
        if (server_.scheme != 0) {
            curl_easy_setopt(easy_, CURLOPT_HTTPAUTH, server_.scheme);
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

    int StatusCode() const override { return status_; }
    unsigned OfferedSchemes(AuthTarget target) const override { return offered_[target]; }
    const std::string& Body() const override { return body_; }

private:
    void ApplyProxy() {
        // Names without a dot are local and bypass the proxy. An empty proxy also keeps
        // libcurl from taking one from the environment.
        const bool viaProxy = !proxyServer_.empty() && host_.find('.') != std::string::npos;
        curl_easy_setopt(easy_, CURLOPT_PROXY, viaProxy ? ("http://" + proxyServer_).c_str() : "");
        if (viaProxy && proxy_.scheme != 0) {
            curl_easy_setopt(easy_, CURLOPT_PROXYAUTH, proxy_.scheme);
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
            self->offered_[kAuthServer] = self->offered_[kAuthProxy] = 0;
            self->body_.clear();
        }
        const auto colon = line.find(':');
        if (colon != std::string::npos) {
            const std::string name = Lower(Trim(line.substr(0, colon)));
            if (name == "www-authenticate") {
                self->offered_[kAuthServer] |= SchemesOfChallenge(line.substr(colon + 1));
            } else if (name == "proxy-authenticate") {
                self->offered_[kAuthProxy] |= SchemesOfChallenge(line.substr(colon + 1));
            }
        }
        return size * count;
    }

    static size_t OnBody(char* data, size_t size, size_t count, void* context) {
        auto* self = static_cast<CurlUploadExchange*>(context);
        const size_t bytes = size * count;
        if (self->body_.size() < kKeptBody) {
            self->body_.append(data, std::min(bytes, kKeptBody - self->body_.size()));
        }
        return bytes;
    }

    std::string userAgent_;
    std::string proxyServer_;
    std::string host_;
    int port_ = 0;
    std::string url_;
    CURL* easy_ = nullptr;
    curl_slist* headers_ = nullptr;
    Credentials server_;
    Credentials proxy_;
    BodySource* bodySource_ = nullptr;
    int status_ = 0;
    unsigned offered_[2] = {0, 0};
    std::string body_;
};

}  // namespace

std::unique_ptr<UploadExchange> CreateUploadExchange() {
    return std::make_unique<CurlUploadExchange>();
}

}  // namespace wi::platform
