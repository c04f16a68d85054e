#include "transfer/upload_address.h"

#include <algorithm>
#include <cctype>

namespace wi::transfer {
namespace {

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

bool ParsePort(const std::string& text, int& port) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        return false;
    }
    port = std::stoi(text);
    return port >= 1 && port <= 65535;
}

// The end of the authority that begins at start: the first "/", "?" or "#", or the end.
std::size_t AuthorityEnd(const std::string& url, std::size_t start) {
    return std::min(url.find_first_of("/?#", start), url.size());
}

}  // namespace

bool SplitUploadAddress(const std::string& url, UploadAddress& address) {
    UploadAddress parts;
    std::size_t start = 0;
    if (StartsWithNoCase(url, "http://")) {
        start = 7;
    } else if (StartsWithNoCase(url, "https://")) {
        parts.secure = true;
        start = 8;
    } else {
        return false;
    }
    const std::size_t authorityEnd = AuthorityEnd(url, start);
    std::string authority = url.substr(start, authorityEnd - start);
    const std::size_t at = authority.rfind('@');
    if (at != std::string::npos) {
        const std::string userInfo = authority.substr(0, at);
        const std::size_t colon = userInfo.find(':');
        parts.user = userInfo.substr(0, colon);
        if (colon != std::string::npos) {
            parts.password = userInfo.substr(colon + 1);
        }
        authority.erase(0, at + 1);
    }
    // A bracketed IPv6 host keeps its colons.
    const std::size_t hostEnd = authority.rfind(']');
    const std::size_t portColon =
        authority.find(':', hostEnd == std::string::npos ? 0 : hostEnd);
    parts.host = authority.substr(0, portColon);
    if (parts.host.size() >= 2 && parts.host.front() == '[' && parts.host.back() == ']') {
        parts.host = parts.host.substr(1, parts.host.size() - 2);
    }
    parts.port = parts.secure ? 443 : 80;
    if (parts.host.empty()) {
        return false;
    }
    if (portColon != std::string::npos && !ParsePort(authority.substr(portColon + 1), parts.port)) {
        return false;
    }
    parts.pathWithQuery = url.substr(authorityEnd);
    if (parts.pathWithQuery.empty() || parts.pathWithQuery[0] != '/') {
        parts.pathWithQuery.insert(0, "/");
    }
    address = parts;
    return true;
}

std::string AddressForDisplay(const std::string& url) {
    const std::size_t scheme = url.find("://");
    if (scheme == std::string::npos) {
        return url;
    }
    const std::size_t start = scheme + 3;
    const std::size_t at = url.rfind('@', AuthorityEnd(url, start));
    if (at == std::string::npos || at < start) {
        return url;
    }
    const std::size_t colon = url.find(':', start);
    if (colon >= at) {
        return url;  // a user name without a password
    }
    return url.substr(0, colon + 1) + "***" + url.substr(at);
}

}  // namespace wi::transfer
