// The redirect rules of downloads: the address splitter and where a Location value leads.
#include <gtest/gtest.h>

#include <string>

#include "platform/common/http_redirect.h"

namespace {

using wi::platform::FollowLocation;
using wi::platform::HttpAddress;
using wi::platform::SplitHttpAddress;

std::string Text(const HttpAddress& address) {
    return std::string(address.secure ? "https" : "http") + " " + address.host + " " +
           std::to_string(address.port) + " " + address.pathWithQuery;
}

TEST(HttpRedirectTest, SplitsHttpAndHttpsAddresses) {
    HttpAddress address;
    ASSERT_TRUE(SplitHttpAddress("HTTPS://u:p@x@Svc.example:8443/a/b?c=d#frag", address));
    EXPECT_EQ("https Svc.example 8443 /a/b?c=d", Text(address));
    ASSERT_TRUE(SplitHttpAddress("http://[::1]?q", address));
    EXPECT_EQ("http ::1 80 /?q", Text(address));
    ASSERT_TRUE(SplitHttpAddress("https://svc", address));
    EXPECT_EQ("https svc 443 /", Text(address));

    for (const char* bad : {"", "ftp://svc/x", "svc/x", "http:/svc/x", "http://:80/", "http://svc:0/",
                            "http://svc:65536/", "http://svc:8o/", "http://[::1/",
                            "http://svc/a\r\nX: y", "file:///etc/passwd"}) {
        EXPECT_FALSE(SplitHttpAddress(bad, address)) << bad;
    }
    EXPECT_EQ("https svc 443 /", Text(address));  // unchanged by what failed
}

TEST(HttpRedirectTest, LocationsLeadFromTheCurrentAddress) {
    const auto follow = [](const std::string& location) {
        HttpAddress address;
        SplitHttpAddress("https://svc.example:8443/dir/sub/file.bin?x=1", address);
        return FollowLocation(location, address) ? Text(address) : "refused";
    };
    EXPECT_EQ("http other 80 /y", follow("http://other/y"));
    EXPECT_EQ("https other 8443 /y", follow("//other:8443/y"));
    EXPECT_EQ("https svc.example 8443 /top?q=1", follow(" /top?q=1#part "));
    EXPECT_EQ("https svc.example 8443 /dir/sub/next.bin", follow("next.bin"));
    EXPECT_EQ("https svc.example 8443 /dir/sub/file.bin?y=2", follow("?y=2"));
    EXPECT_EQ("https svc.example 8443 /dir/a/b", follow("../a/./b"));
    EXPECT_EQ("https svc.example 8443 /up", follow("../../../../up"));
    EXPECT_EQ("https svc.example 8443 /dir/sub/file.bin?x=1", follow("#elsewhere"));

    // Another protocol, or a value that cannot be read, is not followed.
    for (const char* refused : {"ftp://svc.example/x", "javascript:alert(1)", "", "  ",
                                "/a\r\nSet-Cookie: x", "http://"}) {
        EXPECT_EQ("refused", follow(refused)) << refused;
    }
}

}  // namespace
