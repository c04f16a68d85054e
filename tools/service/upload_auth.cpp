#include "upload_auth.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "platform/common/http_challenge.h"
#include "platform/common/http_md5.h"

namespace wi::service {

namespace {

using platform::AuthChallenge;
using platform::Md5Hex;

// Compares without stopping at the first difference, so the time taken tells nothing about
// how much of a guess was right.
bool SameSecret(const std::string& a, const std::string& b) {
    unsigned char difference = a.size() == b.size() ? 0 : 1;
    for (std::size_t i = 0; i < a.size(); ++i) {
        difference |= static_cast<unsigned char>(a[i] ^ (i < b.size() ? b[i] : 0));
    }
    return difference == 0;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Standard base64 with padding; false for anything else.
bool DecodeBase64(const std::string& text, std::string& bytes) {
    static const std::string alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    if (text.empty() || text.size() % 4 != 0) return false;
    bytes.clear();
    unsigned value = 0;
    int bits = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=') {
            // Padding only at the end: one or two characters.
            if (i + 2 < text.size() || text.find_first_not_of('=', i) != std::string::npos) {
                return false;
            }
            break;
        }
        const auto digit = alphabet.find(text[i]);
        if (digit == std::string::npos) return false;
        value = (value << 6) | static_cast<unsigned>(digit);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(static_cast<char>((value >> bits) & 0xff));
        }
    }
    return true;
}

// The header value's challenge-shaped credentials of a scheme ("Digest username=..., ...").
bool CredentialsOf(const std::string& authorization, const char* scheme, AuthChallenge& found) {
    std::vector<AuthChallenge> parsed;
    platform::ParseChallenges(authorization, parsed);
    if (parsed.empty() || parsed.front().scheme != scheme) return false;
    found = parsed.front();
    return true;
}

}  // namespace

UploadGuard::UploadGuard(AuthScheme scheme, std::string user, std::string password)
    : scheme_(scheme), user_(std::move(user)), password_(std::move(password)) {}

AuthVerdict UploadGuard::Check(const std::string& method, const std::string& target,
                               const std::string& authorization) {
    AuthVerdict verdict;
    switch (scheme_) {
        case AuthScheme::kNone:
            verdict.admitted = true;
            break;
        case AuthScheme::kBasic:
            verdict.admitted = CheckBasic(authorization);
            if (!verdict.admitted)
                verdict.challenge = std::string("Basic realm=\"") + kRealm + "\"";
            break;
        case AuthScheme::kDigest: {
            bool stale = false;
            verdict.admitted = CheckDigest(method, target, authorization, stale);
            if (!verdict.admitted) verdict.challenge = DigestChallenge(stale);
            break;
        }
    }
    return verdict;
}

bool UploadGuard::CheckBasic(const std::string& authorization) const {
    AuthChallenge credentials;
    std::string pair;
    return CredentialsOf(authorization, "basic", credentials) &&
           DecodeBase64(credentials.token68, pair) && SameSecret(pair, user_ + ":" + password_);
}

bool UploadGuard::CheckDigest(const std::string& method, const std::string& target,
                              const std::string& authorization, bool& stale) {
    AuthChallenge answer;
    if (!CredentialsOf(authorization, "digest", answer)) return false;
    const auto param = [&answer](const char* name) {
        const std::string* value = answer.Param(name);
        return value ? *value : std::string();
    };
    const std::string* algorithm = answer.Param("algorithm");
    const std::string countText = param("nc");
    const bool countIsHex =
        countText.size() == 8 &&
        countText.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
    const unsigned long count = countIsHex ? std::strtoul(countText.c_str(), nullptr, 16) : 0;
    if (param("username") != user_ || param("realm") != kRealm || param("uri") != target ||
        Lower(param("qop")) != "auth" || (algorithm && Lower(*algorithm) != "md5") || count == 0 ||
        param("cnonce").empty()) {
        return false;
    }
    const std::string nonce = param("nonce");
    const std::string ha1 = Md5Hex(user_ + ":" + kRealm + ":" + password_);
    const std::string ha2 = Md5Hex(method + ":" + target);
    const std::string expected =
        Md5Hex(ha1 + ":" + nonce + ":" + countText + ":" + param("cnonce") + ":auth:" + ha2);
    if (!SameSecret(Lower(param("response")), expected)) return false;

    // The answer is right; now the nonce must be ours, fresh, and not replayed.
    std::lock_guard<std::mutex> lock(mutex_);
    const auto use = nonces_.find(nonce);
    if (use == nonces_.end()) return false;
    if (std::chrono::steady_clock::now() - use->second.issued > kNonceLifetime) {
        stale = true;
        return false;
    }
    if (count <= use->second.lastCount) return false;
    use->second.lastCount = static_cast<std::uint32_t>(count);
    return true;
}

std::string UploadGuard::DigestChallenge(bool stale) {
    static thread_local std::random_device random;
    char nonce[33];
    std::snprintf(nonce, sizeof nonce, "%08x%08x%08x%08x", random(), random(), random(), random());

    std::lock_guard<std::mutex> lock(mutex_);
    const auto now = std::chrono::steady_clock::now();
    // Expired nonces go, and the table never grows past its bound: a flood of unauthenticated
    // requests only pushes out the oldest nonces.
    while (!issueOrder_.empty()) {
        const auto oldest = nonces_.find(issueOrder_.front());
        if (nonces_.size() < kMaxNonces && oldest != nonces_.end() &&
            now - oldest->second.issued <= kNonceLifetime) {
            break;
        }
        if (oldest != nonces_.end()) nonces_.erase(oldest);
        issueOrder_.pop_front();
    }
    nonces_[nonce] = NonceUse{now, 0};
    issueOrder_.push_back(nonce);
    return std::string("Digest realm=\"") + kRealm + "\", qop=\"auth\", algorithm=MD5, nonce=\"" +
           nonce + "\"" + (stale ? ", stale=true" : "");
}

}  // namespace wi::service
