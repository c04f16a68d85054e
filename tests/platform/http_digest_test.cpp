// The answer to Digest challenges of the upload transports: MD5, the challenge reader and the
// Authorization value, against published and independently computed answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/common/http_challenge.h"
#include "platform/common/http_digest.h"
#include "platform/common/http_md5.h"

namespace {

using wi::platform::AuthChallenge;
using wi::platform::DigestAuthorization;
using wi::platform::DigestRequest;
using wi::platform::Md5Hex;
using wi::platform::ParseChallenges;

TEST(UploadDigestTest, Md5KnownAnswers) {
    // RFC 1321's test suite, and lengths around the padding boundary.
    EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", Md5Hex(""));
    EXPECT_EQ("0cc175b9c0f1b6a831c399e269772661", Md5Hex("a"));
    EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", Md5Hex("abc"));
    EXPECT_EQ("f96b697d7cb7938d525a2f31aaf161d0", Md5Hex("message digest"));
    EXPECT_EQ("c3fcd3d76192e4007dfb496cca67e13b", Md5Hex("abcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ("d174ab98d277d9f5a5611c2c9f419d9f",
              Md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"));
    std::string digits;
    for (int i = 0; i < 8; ++i) digits += "1234567890";
    EXPECT_EQ("57edf4a22be3c955ac49da2e2107b67a", Md5Hex(digits));
    EXPECT_EQ("ef1772b6dff9a122358552954ad0df65", Md5Hex(std::string(55, 'a')));
    EXPECT_EQ("3b0c8ac703f828b04c6c197006d17218", Md5Hex(std::string(56, 'a')));
    EXPECT_EQ("014842d480b571495a4a0363793f7367", Md5Hex(std::string(64, 'a')));
}

TEST(UploadDigestTest, AnswersChallengesWithAndWithoutQop) {
    // RFC 2617's example; the other answers were computed with "openssl md5".
    std::vector<AuthChallenge> challenges;
    ASSERT_TRUE(ParseChallenges(
        "Digest realm=\"testrealm@host.com\",qop=\"auth,auth-int\", "
        "nonce=\"dcd98b7102dd2f0e8b11d0f600bfb0c093\", opaque=\"5ccc069c403ebaf9f0171e9517f40e41\"",
        challenges));
    ASSERT_EQ(1u, challenges.size());
    AuthChallenge challenge = challenges[0];
    DigestRequest request{"GET", "/dir/index.html", "Mufasa", "Circle Of Life", 1, "0a4f113b"};
    EXPECT_EQ(
        "Digest username=\"Mufasa\", realm=\"testrealm@host.com\", "
        "nonce=\"dcd98b7102dd2f0e8b11d0f600bfb0c093\", uri=\"/dir/index.html\", "
        "response=\"6629fae49393a05397450978507c4ef1\", "
        "opaque=\"5ccc069c403ebaf9f0171e9517f40e41\", qop=auth, nc=00000001, cnonce=\"0a4f113b\"",
        DigestAuthorization(challenge, request));

    challenge.params.emplace_back("algorithm", "md5-SESS");
    request.nonceCount = 2;
    EXPECT_NE(std::string::npos, DigestAuthorization(challenge, request)
                                     .find("response=\"d16df0df0d92cef8935129145e21b5e1\", "
                                           "algorithm=MD5-sess"));

    // Without qop (RFC 2069), and MD5-sess without qop, which still names its cnonce.
    challenge.params = {{"realm", "testrealm@host.com"},
                        {"nonce", "dcd98b7102dd2f0e8b11d0f600bfb0c093"}};
    EXPECT_NE(std::string::npos, DigestAuthorization(challenge, request)
                                     .find("response=\"670fd8c2df070c60b045671b8b24ff02\""));
    challenge.params.emplace_back("algorithm", "MD5-sess");
    const std::string connect = DigestAuthorization(
        challenge, {"CONNECT", "svc.example:443", "Mufasa", "Circle Of Life", 1, "0a4f113b"});
    EXPECT_NE(std::string::npos, connect.find("response=\"ab54611c0eddfd618e7b4b3d854cc2a7\""));
    EXPECT_NE(std::string::npos, connect.find(", cnonce=\"0a4f113b\""));
    EXPECT_EQ(std::string::npos, connect.find("qop"));

    // What cannot be answered gives no header: another algorithm, only auth-int, a user name
    // that would break the header.
    AuthChallenge sha = challenge;
    sha.params.back().second = "SHA-256";
    EXPECT_EQ("", DigestAuthorization(sha, request));
    AuthChallenge integrity = challenges[0];
    integrity.params[1].second = "auth-int";
    EXPECT_EQ("", DigestAuthorization(integrity, request));
    request.user = "Mufasa\r\nX-Injected: 1";
    EXPECT_EQ("", DigestAuthorization(challenges[0], request));
}

TEST(UploadDigestTest, ReadsEveryChallengeOfAHeaderValue) {
    std::vector<AuthChallenge> challenges;
    ASSERT_TRUE(ParseChallenges(
        "Negotiate, NTLM TlRMTVNTUAACAAAA==, Digest realm=\"a, \\\"b\\\"\" ,nonce=n1,"
        "Basic realm=x",
        challenges));
    ASSERT_EQ(4u, challenges.size());
    EXPECT_EQ("negotiate", challenges[0].scheme);
    EXPECT_EQ("ntlm", challenges[1].scheme);
    EXPECT_EQ("TlRMTVNTUAACAAAA==", challenges[1].token68);
    EXPECT_EQ("digest", challenges[2].scheme);
    ASSERT_NE(nullptr, challenges[2].Param("realm"));
    EXPECT_EQ("a, \"b\"", *challenges[2].Param("realm"));
    EXPECT_EQ("n1", *challenges[2].Param("nonce"));
    EXPECT_EQ("x", *challenges[3].Param("realm"));

    // Broken text keeps the challenges before it and drops the one it falls in.
    for (const char* broken : {"Basic realm=x, Digest realm=\"open",
                               "Basic realm=x, Digest realm=r, nonce=",
                               "Basic realm=x, Digest realm=\"a\rb\"",
                               "Basic realm=x, Digest realm=r, =y"}) {
        challenges.clear();
        EXPECT_FALSE(ParseChallenges(broken, challenges)) << broken;
        ASSERT_EQ(1u, challenges.size()) << broken;
        EXPECT_EQ("basic", challenges[0].scheme);
    }
}

}  // namespace
