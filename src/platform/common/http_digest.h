// Answers to Digest challenges (RFC 7616 with MD5, RFC 2617, RFC 2069): the value of an
// Authorization or Proxy-Authorization header computed from the challenge of an earlier answer,
// so that the request carrying the body also carries the credentials.
#pragma once

#include <string>

#include "platform/http.h"
#include "platform/common/http_challenge.h"

namespace wi::platform {

// One request's side of the answer.
struct DigestRequest {
    std::string method;  // "POST", or "CONNECT" for a tunnel through a proxy
    std::string uri;     // the request target exactly as sent
    std::string user;
    std::string password;
    unsigned nonceCount = 1;  // how many requests have used this nonce, this one included
    std::string cnonce;       // the client's nonce (used with qop and with MD5-sess)
};

// True for a Digest challenge with a realm and a nonce, algorithm MD5 or MD5-sess (or none,
// meaning MD5), and either no qop or a qop list that offers "auth".
bool CanAnswerDigest(const AuthChallenge& challenge);

// The header value answering the challenge; "" when the challenge cannot be answered or the user
// name, the uri or the cnonce holds a control character.
std::string DigestAuthorization(const AuthChallenge& challenge, const DigestRequest& request);

// The scheme a challenge offers that an upload transport can answer (Digest only where
// CanAnswerDigest); kAuthNone for any other.
AuthScheme SchemeOf(const AuthChallenge& challenge);

}  // namespace wi::platform
