#include "platform/common/http_digest.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/common/http_md5.h"

namespace wi::platform {
namespace {

bool EqualsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool HasControl(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7f;
    });
}

// True when the comma-separated qop list names "auth".
bool OffersAuth(const std::string& list) {
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = std::min(list.find(',', start), list.size());
        std::size_t first = start;
        while (first < end && (list[first] == ' ' || list[first] == '\t')) ++first;
        std::size_t last = end;
        while (last > first && (list[last - 1] == ' ' || list[last - 1] == '\t')) --last;
        if (EqualsNoCase(list.substr(first, last - first), "auth")) return true;
        start = end + 1;
    }
    return false;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') quoted.push_back('\\');
        quoted.push_back(c);
    }
    return quoted + "\"";
}

}  // namespace

bool CanAnswerDigest(const AuthChallenge& challenge) {
    if (challenge.scheme != "digest" || challenge.Param("realm") == nullptr ||
        challenge.Param("nonce") == nullptr) {
        return false;
    }
    const std::string* algorithm = challenge.Param("algorithm");
    if (algorithm != nullptr && !EqualsNoCase(*algorithm, "MD5") &&
        !EqualsNoCase(*algorithm, "MD5-sess")) {
        return false;
    }
    const std::string* qop = challenge.Param("qop");
    return qop == nullptr || OffersAuth(*qop);
}

std::string DigestAuthorization(const AuthChallenge& challenge, const DigestRequest& request) {
    if (!CanAnswerDigest(challenge) || HasControl(request.user) || HasControl(request.uri) ||
        HasControl(request.cnonce)) {
        return "";
    }
    const std::string& realm = *challenge.Param("realm");
    const std::string& nonce = *challenge.Param("nonce");
    const std::string* algorithm = challenge.Param("algorithm");
    const bool session = algorithm != nullptr && EqualsNoCase(*algorithm, "MD5-sess");
    const bool withQop = challenge.Param("qop") != nullptr;

    std::string ha1 = Md5Hex(request.user + ":" + realm + ":" + request.password);
    if (session) {
        ha1 = Md5Hex(ha1 + ":" + nonce + ":" + request.cnonce);
    }
    const std::string ha2 = Md5Hex(request.method + ":" + request.uri);
    char count[9];
    std::snprintf(count, sizeof count, "%08x", request.nonceCount);
    const std::string response =
        withQop ? Md5Hex(ha1 + ":" + nonce + ":" + count + ":" + request.cnonce + ":auth:" + ha2)
                : Md5Hex(ha1 + ":" + nonce + ":" + ha2);

    if (ha1.empty() || ha2.empty() || response.empty()) {
        return "";  // no MD5 to be had
    }

    std::string value = "Digest username=" + Quoted(request.user) + ", realm=" + Quoted(realm) +
                        ", nonce=" + Quoted(nonce) + ", uri=" + Quoted(request.uri) +
                        ", response=\"" + response + "\"";
    if (algorithm != nullptr) {
        value += ", algorithm=" + std::string(session ? "MD5-sess" : "MD5");
    }
    if (const std::string* opaque = challenge.Param("opaque")) {
        value += ", opaque=" + Quoted(*opaque);
    }
    if (withQop) {
        value += ", qop=auth, nc=" + std::string(count) + ", cnonce=" + Quoted(request.cnonce);
    } else if (session) {
        value += ", cnonce=" + Quoted(request.cnonce);
    }
    return value;
}

AuthScheme SchemeOf(const AuthChallenge& challenge) {
    const std::string& name = challenge.scheme;
    if (name == "basic") return kAuthBasic;
    if (name == "ntlm") return kAuthNtlm;
    if (name.rfind("passport", 0) == 0) return kAuthPassport;
    if (name == "digest") return CanAnswerDigest(challenge) ? kAuthDigest : kAuthNone;
    if (name == "negotiate") return kAuthNegotiate;
    return kAuthNone;
}

}  // namespace wi::platform
