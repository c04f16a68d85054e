// The redirect rules of downloads: which answers redirect, how many are followed, and where a
// redirect's Location leads from the address that answered it. Only http and https addresses
// are followed: a redirect must not send a download to another kind of server.
#pragma once

#include <string>

namespace wi::platform {

// Redirects a download follows at most.
constexpr int kMaxRedirects = 20;

// 301, 302, 303, 307 and 308.
bool IsRedirectStatus(long status);

// The parts of an http or https address.
struct HttpAddress {
    bool secure = false;
    std::string host;  // an IPv6 address without its brackets
    int port = 0;
    std::string pathWithQuery;  // "/" at least; never a fragment
};

// Splits an absolute http or https address ("https://user@host:8443/a?b#c"): the scheme in any
// case, user information dropped, the default port when none is named. False for another scheme,
// no host, a port outside 1-65535, or a control character anywhere.
bool SplitHttpAddress(const std::string& url, HttpAddress& address);

// Reads a redirect's Location value and moves the address to where it leads: an absolute http or
// https address, one without a scheme ("//host/x"), a path from the root ("/x"), a query ("?q")
// or a path beside the current one ("x", "../x"); "." and ".." segments are resolved, a fragment
// dropped. False, with the address unchanged, for another protocol or a value that cannot be read.
bool FollowLocation(const std::string& location, HttpAddress& address);

}  // namespace wi::platform
