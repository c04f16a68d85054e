// What both upload transports keep between the requests of an exchange for its authentication:
// the challenges of the latest response, and the Digest answers computed from one of them, so
// that the request carrying the body also carries the credentials.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/common/http_challenge.h"
#include "platform/http.h"

namespace wi::platform {

// The names one upload request goes by, which its Digest answers must repeat exactly.
struct UploadTarget {
    std::string path;       // path and query as sent to the server: no fragment, "/" first
    std::string authority;  // host:port, as a CONNECT names it
    std::string url;        // the absolute address a proxy is sent, without a default port
};
UploadTarget MakeUploadTarget(const std::string& host, int port, const std::string& pathWithQuery,
                              bool secure);

// Whether a request to the host goes through the named proxy ("host:port"; "" for none): every
// host whose name holds a dot does, names without one are local and go direct.
bool ViaNamedProxy(const std::string& proxyServer, const std::string& host);

// The challenges of one response, per target (WWW-Authenticate for the server,
// Proxy-Authenticate for the proxy).
class ResponseChallenges {
public:
    static constexpr std::size_t kKept = 32;  // per target and response

    // Forgets everything, for a new response.
    void Clear();
    // Reads one header value; the challenges beyond kKept of the target are dropped.
    void Read(AuthTarget target, const std::string& value);
    // The schemes the target's challenges offer that a transport can answer (AuthScheme mask).
    unsigned Offered(AuthTarget target) const { return offered_[target]; }
    // The target's first challenge of the scheme that can be answered; nullptr when there is none.
    const AuthChallenge* Find(AuthTarget target, AuthScheme scheme) const;
    const AuthChallenge* Digest(AuthTarget target) const { return Find(target, kAuthDigest); }

private:
    std::vector<AuthChallenge> challenges_[2];
    unsigned offered_[2] = {0, 0};
};

// The Digest credentials of one target of an exchange: the challenge they answer, how often its
// nonce has been used, and the client's nonce.
class DigestAnswer {
public:
    // Answers the target's first Digest challenge of the latest response that can be answered,
    // from now on with a fresh nonce count and client nonce; a response without one (a 401 after
    // a 407 was answered) keeps the challenge answered so far, with the new user and password.
    // False when there is no challenge to answer, or when the user name cannot stand in a header
    // (tried on a request for uri).
    bool Take(const ResponseChallenges& latest, AuthTarget target, const std::string& user,
              const std::string& password, const std::string& uri);
    // The header value of the next request (method and uri as sent), which uses the nonce once
    // more.
    std::string Next(const std::string& method, const std::string& uri);

private:
    std::string Answer(const std::string& method, const std::string& uri,
                       unsigned nonceCount) const;

    bool taken_ = false;
    AuthChallenge challenge_;
    std::string user_;
    std::string password_;
    unsigned nonceCount_ = 0;
    std::string cnonce_;
};

// What both upload transports keep of the latest response, and how they report it.
class UploadExchangeBase : public UploadExchange {
public:
    int StatusCode() const override { return status_; }
    unsigned OfferedSchemes(AuthTarget target) const override {
        return challenges_.Offered(target);
    }
    const std::string& Body() const override { return body_; }

protected:
    // Forgets the latest response: before a request, or where a new response begins.
    void ForgetResponse();
    // Keeps the body's bytes up to kKeptBody in all; the rest is dropped.
    void KeepBody(const char* data, std::size_t bytes);

    int status_ = 0;
    ResponseChallenges challenges_;

private:
    std::string body_;
};

}  // namespace wi::platform
