#include "public_address.h"

#include <cstdlib>

namespace wi::service {

namespace {

bool IsDigits(const std::string& text) {
    return !text.empty() && text.size() <= 5 &&
           text.find_first_not_of("0123456789") == std::string::npos &&
           std::atoi(text.c_str()) <= 65535;
}

// "name", "name:port", "[v6]" or "[v6]:port" of plain characters only: the value is echoed into
// addresses, so anything that could end or bend one is refused.
bool IsAuthority(const std::string& text) {
    if (text.empty()) return false;
    std::string host = text, port;
    if (text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string::npos || close < 3) return false;
        host = text.substr(1, close - 1);
        if (host.find_first_not_of("0123456789abcdefABCDEF:.") != std::string::npos) return false;
        if (close + 1 < text.size()) {
            if (text[close + 1] != ':') return false;
            port = text.substr(close + 2);
            if (!IsDigits(port)) return false;
        }
        return true;
    }
    const auto colon = text.find(':');
    if (colon != std::string::npos) {
        host = text.substr(0, colon);
        if (!IsDigits(text.substr(colon + 1))) return false;
    }
    return !host.empty() &&
           host.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                  "0123456789.-") == std::string::npos;
}

// The first of a list of values ("a, b" as proxies in a row add them), without blanks.
std::string FirstValue(const std::string& header) {
    const std::string first = header.substr(0, header.find(','));
    const auto begin = first.find_first_not_of(" \t");
    if (begin == std::string::npos) return "";
    return first.substr(begin, first.find_last_not_of(" \t") - begin + 1);
}

}  // namespace

std::optional<PublicBase> ParsePublicUrl(const std::string& url) {
    PublicBase base;
    const auto separator = url.find("://");
    if (separator == std::string::npos) return std::nullopt;
    base.scheme = url.substr(0, separator);
    if (base.scheme != "http" && base.scheme != "https") return std::nullopt;
    const auto slash = url.find('/', separator + 3);
    base.authority = url.substr(separator + 3, slash - (separator + 3));
    if (!IsAuthority(base.authority)) return std::nullopt;
    if (slash != std::string::npos) base.path = url.substr(slash);
    // Unreserved and sub-delimiter characters only: the path is written into every address.
    if (base.path.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                    "0123456789-._~!$&'()*+,;=:@/") != std::string::npos) {
        return std::nullopt;
    }
    if (base.path.back() != '/') base.path += '/';
    return base;
}

std::string BracketedHost(const std::string& host) {
    return host.find(':') != std::string::npos && host.front() != '[' ? "[" + host + "]" : host;
}

std::string BaseAddress(const AddressSettings& settings, const RequestOrigin& origin) {
    PublicBase base;
    if (settings.publicBase) {
        base = *settings.publicBase;
    } else {
        std::string host = origin.host;
        if (!host.empty()) {
            host = host.substr(0, host.front() == '[' ? host.find(']') + 1 : host.find(':'));
        }
        if (!IsAuthority(host)) host = BracketedHost(settings.listen);
        base.scheme = "http";
        base.authority = host + ":" + std::to_string(settings.port);
    }
    if (settings.trustProxy) {
        const std::string proto = FirstValue(origin.forwardedProto);
        if (proto == "http" || proto == "https") base.scheme = proto;
        const std::string host = FirstValue(origin.forwardedHost);
        if (IsAuthority(host)) base.authority = host;
    }
    return base.scheme + "://" + base.authority + base.path;
}

std::string ClientPathPrefix(const AddressSettings& settings) {
    if (!settings.publicBase) return "";
    const std::string& path = settings.publicBase->path;
    return path.substr(0, path.size() - 1);
}

}  // namespace wi::service
