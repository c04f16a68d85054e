// Who may post to the /upload/ addresses: anyone, or one user checked by HTTP Basic or Digest
// authentication (RFC 7617, RFC 7616 with MD5 and qop "auth").
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace wi::service {

enum class AuthScheme { kNone, kBasic, kDigest };

struct AuthVerdict {
    bool admitted = false;
    std::string challenge;  // the WWW-Authenticate value of the 401 when not admitted
};

class UploadGuard {
public:
    static constexpr const char* kRealm = "webinteractive-service";

    UploadGuard() = default;  // admits every request
    UploadGuard(AuthScheme scheme, std::string user, std::string password);

    // Whether a request with this method, target (exactly as sent) and Authorization header
    // value ("" when it has none) may go on. Digest answers must carry a nonce this guard gave
    // out at most kNonceLifetime ago and a nonce count above any used with it before.
    AuthVerdict Check(const std::string& method, const std::string& target,
                      const std::string& authorization);

private:
    struct NonceUse {
        std::chrono::steady_clock::time_point issued;
        std::uint32_t lastCount = 0;
    };
    static constexpr std::chrono::seconds kNonceLifetime{300};
    static constexpr std::size_t kMaxNonces = 4096;

    bool CheckBasic(const std::string& authorization) const;
    bool CheckDigest(const std::string& method, const std::string& target,
                     const std::string& authorization, bool& stale);
    std::string DigestChallenge(bool stale);

    AuthScheme scheme_ = AuthScheme::kNone;
    std::string user_;
    std::string password_;
    std::mutex mutex_;
    std::unordered_map<std::string, NonceUse> nonces_;
    std::deque<std::string> issueOrder_;  // oldest first, for expiry and the bound
};

}  // namespace wi::service
