// Fuzz target for the reader of authentication challenges (WWW-Authenticate and
// Proxy-Authenticate values) and the Digest answer made from them. Neither may crash; every
// scheme read is a non-empty lower-case token, no value holds a line break, and an answer never
// holds a control character.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/common/http_challenge.h"
#include "platform/common/http_digest.h"

namespace {

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<wi::platform::AuthChallenge> challenges;
    wi::platform::ParseChallenges(input, challenges);
    for (const auto& challenge : challenges) {
        if (challenge.scheme.empty()) std::abort();
        for (char c : challenge.scheme) {
            if (c >= 'A' && c <= 'Z') std::abort();
        }
        for (const auto& [name, value] : challenge.params) {
            if (name.empty() || HasLineBreak(value)) std::abort();
        }
        const std::string answer = wi::platform::DigestAuthorization(
            challenge, {"POST", "/up?x=1", "user", "pass", 1, "0123456789abcdef"});
        if (answer.empty() == wi::platform::CanAnswerDigest(challenge)) std::abort();
        for (char c : answer) {
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t') std::abort();
        }
    }
    return 0;
}
