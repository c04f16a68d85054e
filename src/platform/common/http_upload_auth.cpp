#include "platform/common/http_upload_auth.h"

#include <algorithm>
#include <cstdio>
#include <random>

#include "platform/common/http_digest.h"

namespace wi::platform {
namespace {

// 16 random bytes as hexadecimal digits.
std::string MakeClientNonce() {
    static thread_local std::random_device device;
    std::string text;
    for (int i = 0; i < 4; ++i) {
        char word[9];
        std::snprintf(word, sizeof word, "%08x", static_cast<unsigned>(device()));
        text += word;
    }
    return text;
}

}  // namespace

UploadTarget MakeUploadTarget(const std::string& host, int port, const std::string& pathWithQuery,
                              bool secure) {
    UploadTarget target;
    const std::string name = host.find(':') != std::string::npos ? "[" + host + "]" : host;
    target.path = pathWithQuery.substr(0, pathWithQuery.find('#'));
    if (target.path.empty() || target.path[0] != '/') target.path.insert(0, "/");
    target.authority = name + ":" + std::to_string(port);
    const bool defaultPort = port == (secure ? 443 : 80);
    target.url = std::string(secure ? "https" : "http") + "://" +
                 (defaultPort ? name : target.authority) + target.path;
    return target;
}

bool ViaNamedProxy(const std::string& proxyServer, const std::string& host) {
    return !proxyServer.empty() && host.find('.') != std::string::npos;
}

void ResponseChallenges::Clear() {
    for (int target : {kAuthServer, kAuthProxy}) {
        challenges_[target].clear();
        offered_[target] = 0;
    }
}

void ResponseChallenges::Read(AuthTarget target, const std::string& value) {
    std::vector<AuthChallenge> read;
    ParseChallenges(value, read);
    std::vector<AuthChallenge>& challenges = challenges_[target];
    for (AuthChallenge& challenge : read) {
        if (challenges.size() == kKept) break;
        offered_[target] |= SchemeOf(challenge);
        challenges.push_back(std::move(challenge));
    }
}

const AuthChallenge* ResponseChallenges::Find(AuthTarget target, AuthScheme scheme) const {
    for (const AuthChallenge& challenge : challenges_[target]) {
        if (SchemeOf(challenge) == scheme) return &challenge;
    }
    return nullptr;
}

bool DigestAnswer::Take(const ResponseChallenges& latest, AuthTarget target,
                        const std::string& user, const std::string& password,
                        const std::string& uri) {
    const AuthChallenge* challenge = latest.Digest(target);
    if (challenge == nullptr && !taken_) return false;
    if (challenge != nullptr) {
        challenge_ = *challenge;
        nonceCount_ = 0;
        cnonce_ = MakeClientNonce();
        taken_ = true;
    }
    user_ = user;
    password_ = password;
    // A user name that cannot stand in a header fails here rather than on the wire.
    return !Answer("POST", uri, 1).empty();
}

std::string DigestAnswer::Next(const std::string& method, const std::string& uri) {
    return Answer(method, uri, ++nonceCount_);
}

std::string DigestAnswer::Answer(const std::string& method, const std::string& uri,
                                 unsigned nonceCount) const {
    const DigestRequest request{method, uri, user_, password_, nonceCount, cnonce_};
    return DigestAuthorization(challenge_, request);
}

void UploadExchangeBase::ForgetResponse() {
    status_ = 0;
    challenges_.Clear();
    body_.clear();
}

void UploadExchangeBase::KeepBody(const char* data, std::size_t bytes) {
    if (body_.size() < kKeptBody) body_.append(data, std::min(bytes, kKeptBody - body_.size()));
}

}  // namespace wi::platform
