// IWebInteractive::UploadFile: posts a file's bytes and answers the authentication challenges
// of the server and of the proxy on the way.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "inc/narrow_text.h"
#include "platform/files.h"
#include "platform/http.h"
#include "transfer/proxy_discovery.h"
#include "transfer/upload_address.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/status.h"
#include "webinteractive/transfer.h"

namespace wi::transfer {
namespace {

using wi::platform::AuthScheme;
using wi::platform::ExchangeResult;
using wi::platform::UploadExchange;

constexpr std::size_t kReplyText = 1023;     // the caller's buffer holds this and a zero
constexpr std::size_t kMaxProxyAddress = 259;

// The file's bytes, read from the disk for every request that carries them; never held whole.
// The disk is read in blocks, the transport is handed pieces of at most 4096 bytes.
class FileBody : public wi::platform::BodySource {
public:
    static constexpr std::size_t kDiskBlock = 256 * 1024;

    explicit FileBody(std::string path) : path_(std::move(path)) {
        std::uint64_t size = 0;
        if (wi::platform::GetFileSize(path_, size) && wi::platform::OpenForRead(path_)) {
            length_ = size;
        }
    }
    // 0 for a file that cannot be read: the upload still goes ahead with an empty body.
    std::uint64_t length() const { return length_; }

    bool Rewind() override {
        left_ = length_;
        block_.clear();
        blockOffset_ = 0;
        file_.reset();
        if (length_ == 0) {
            return true;
        }
        file_ = wi::platform::OpenForRead(path_);
        return file_ != nullptr;
    }

    long long Read(char* buffer, std::size_t size) override {
        if (left_ == 0 || size == 0) {
            return 0;
        }
        if (blockOffset_ == block_.size() && !FillBlock()) {
            return -1;  // the file shrank or failed under us: the announced length cannot be met
        }
        const std::size_t count = std::min(size, block_.size() - blockOffset_);
        std::memcpy(buffer, block_.data() + blockOffset_, count);
        blockOffset_ += count;
        left_ -= count;
        return static_cast<long long>(count);
    }

private:
    bool FillBlock() {
        block_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kDiskBlock, left_)));
        blockOffset_ = 0;
        const long long read = file_->Read(block_.data(), block_.size());
        if (read <= 0) {
            block_.clear();
            return false;
        }
        block_.resize(static_cast<std::size_t>(read));
        return true;
    }

    std::string path_;
    std::uint64_t length_ = 0;
    std::uint64_t left_ = 0;  // bytes still to hand out
    std::unique_ptr<wi::platform::File> file_;
    std::vector<char> block_;
    std::size_t blockOffset_ = 0;
};

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
    server = proxy.host + ":" + std::to_string(proxy.port);
    return true;
}

// The exchange loop: one request per pass until a final response. 1 when one arrived.
int Exchange(UploadExchange& exchange, FileBody& body, const UploadAddress& target,
             const UploadAddress& proxy, char* reply) {
    int previous = 0;
    AuthScheme proxyScheme = wi::platform::kAuthNone;
    for (;;) {
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
                complete = previous == 401;
                if (complete) {
                    PrintDiagnostic("\nServer Authentication failed.");
                }
            }
        } else if (status == 407) {
            PrintDiagnostic("\nThe proxy requires authentication.  Sending credentials...");
            proxyScheme =
                ChooseScheme(exchange.OfferedSchemes(wi::platform::kAuthProxy), target.secure);
            complete = previous == 407;
            if (complete) {
                PrintDiagnostic("\nProxy Authentication failed.");
            }
        } else {
            std::printf("\nStatus code %d returned.\n", status);
            std::fflush(stdout);
        }
        previous = status;
        if (complete) {
            if (reply != nullptr) {
                const std::string& text = exchange.Body();
                const std::size_t length = std::min(text.size(), kReplyText);
                std::memcpy(reply, text.data(), length);
                reply[length] = '\0';
            }
            return 1;
        }
    }
}

}  // namespace
}  // namespace wi::transfer

namespace IWebInteractive {

int UploadFile(const char* url, const char* filePath, char* reply, const char* displayName,
               void* /*unused*/) {
    using namespace wi::transfer;
    static const std::string startText = wi::inc::NarrowFromUtf8("开始上传文件 %s 到 %s...");
    const std::string address = url != nullptr ? url : "";
    const std::string path = filePath != nullptr ? filePath : "";
    const std::string name =
        displayName != nullptr ? displayName : CXFileOperator::GetFileName(path);
    IHelperInc::MakeStatus(startText.c_str(), name.c_str(), address.c_str());

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
