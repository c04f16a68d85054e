// The challenges of a WWW-Authenticate or Proxy-Authenticate header value: a scheme followed by
// either a token68 ("Negotiate abc==") or name=value parameters ("Digest realm="r", nonce=n"),
// several challenges separated by commas.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace wi::platform {

struct AuthChallenge {
    std::string scheme;   // lower case
    std::string token68;  // as written; empty when the challenge has parameters or nothing
    std::vector<std::pair<std::string, std::string>> params;  // names lower case, values unquoted

    // The value of the first parameter of that (lower-case) name; nullptr when absent.
    const std::string* Param(const std::string& name) const;
};

// Appends the challenges of one header value to the list. Text that breaks the syntax (an
// unterminated quoted string, a control character, a parameter without a value) ends the
// reading: the challenges before it are kept, the one it falls in is dropped, and the result is
// false. Values never hold control characters other than a tab.
bool ParseChallenges(const std::string& value, std::vector<AuthChallenge>& challenges);

}  // namespace wi::platform
