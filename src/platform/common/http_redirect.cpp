#include "platform/common/http_redirect.h"

#include <algorithm>
#include <cctype>

namespace wi::platform {
namespace {

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}

bool HasControl(const std::string& text) { return std::any_of(text.begin(), text.end(), IsControl); }

bool IsAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The length of the scheme the reference begins with ("ftp", "https"): a letter, then letters,
// digits, "+", "-" and ".", up to a colon; 0 when it begins with none.
std::size_t SchemeLength(const std::string& reference) {
    if (reference.empty() || !IsAlpha(reference[0])) return 0;
    for (std::size_t i = 1; i < reference.size(); ++i) {
        const char c = reference[i];
        if (c == ':') return i;
        if (!IsAlpha(c) && !IsDigit(c) && c != '+' && c != '-' && c != '.') return 0;
    }
    return 0;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// "host", "host:port", "[v6]" or "[v6]:port", user information already dropped.
bool SplitHostPort(const std::string& authority, bool secure, HttpAddress& address) {
    std::string host;
    std::string port;
    if (!authority.empty() && authority[0] == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string::npos) return false;
        host = authority.substr(1, close - 1);
        const std::string rest = authority.substr(close + 1);
        if (!rest.empty() && rest[0] != ':') return false;
        port = rest.empty() ? "" : rest.substr(1);
    } else {
        const std::size_t colon = authority.find(':');
        host = authority.substr(0, colon);
        port = colon == std::string::npos ? "" : authority.substr(colon + 1);
    }
    // Brackets only around an IPv6 address; no blank or backslash anywhere.
    if (host.empty() || host.find_first_of(" []\\") != std::string::npos) return false;
    int number = secure ? 443 : 80;
    if (!port.empty()) {
        if (port.size() > 5 || !std::all_of(port.begin(), port.end(), IsDigit)) return false;
        number = std::stoi(port);
        if (number < 1 || number > 65535) return false;
    }
    address.host = host;
    address.port = number;
    return true;
}

// The path with "." and ".." segments resolved (RFC 3986, 5.2.4); ".." never climbs above the
// root.
std::string RemoveDotSegments(std::string in) {
    std::string out;
    while (!in.empty()) {
        if (in.compare(0, 3, "../") == 0) {
            in.erase(0, 3);
        } else if (in.compare(0, 2, "./") == 0) {
            in.erase(0, 2);
        } else if (in.compare(0, 3, "/./") == 0) {
            in.erase(0, 2);
        } else if (in == "/.") {
            in = "/";
        } else if (in.compare(0, 4, "/../") == 0 || in == "/..") {
            in = "/" + in.substr(in.size() == 3 ? 3 : 4);
            const std::size_t last = out.rfind('/');
            out.erase(last == std::string::npos ? 0 : last);
        } else if (in == "." || in == "..") {
            in.clear();
        } else {
            const std::size_t next = in.find('/', 1);
            out += in.substr(0, next);
            in.erase(0, next == std::string::npos ? in.size() : next);
        }
    }
    return out;
}

// A path and query with its path's dot segments resolved.
std::string Normalised(const std::string& pathWithQuery) {
    const std::size_t query = pathWithQuery.find('?');
    std::string path = RemoveDotSegments(pathWithQuery.substr(0, query));
    if (path.empty() || path[0] != '/') path.insert(0, "/");
    return query == std::string::npos ? path : path + pathWithQuery.substr(query);
}

}  // namespace

bool IsRedirectStatus(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool SplitHttpAddress(const std::string& url, HttpAddress& address) {
    const std::size_t schemeLength = SchemeLength(url);
    if (schemeLength == 0 || HasControl(url) || url.compare(schemeLength, 3, "://") != 0) {
        return false;
    }
    const std::string scheme = Lower(url.substr(0, schemeLength));
    if (scheme != "http" && scheme != "https") return false;
    const std::size_t start = schemeLength + 3;
    const std::size_t end = std::min(url.find_first_of("/?#", start), url.size());
    std::string authority = url.substr(start, end - start);
    const std::size_t at = authority.rfind('@');
    if (at != std::string::npos) authority.erase(0, at + 1);
    HttpAddress parsed;
    parsed.secure = scheme == "https";
    if (!SplitHostPort(authority, parsed.secure, parsed)) return false;
    parsed.pathWithQuery = url.substr(end, url.find('#', end) - end);
    if (parsed.pathWithQuery.empty() || parsed.pathWithQuery[0] != '/') {
        parsed.pathWithQuery.insert(0, "/");
    }
    address = parsed;
    return true;
}

bool FollowLocation(const std::string& location, HttpAddress& address) {
    const std::size_t first = location.find_first_not_of(" \t");
    if (first == std::string::npos || HasControl(location)) return false;
    const std::string reference =
        location.substr(first, location.find_last_not_of(" \t") + 1 - first);
    if (SchemeLength(reference) != 0) return SplitHttpAddress(reference, address);
    if (reference.compare(0, 2, "//") == 0) {
        return SplitHttpAddress((address.secure ? "https:" : "http:") + reference, address);
    }
    const std::string target = reference.substr(0, reference.find('#'));
    const std::string& current = address.pathWithQuery;
    const std::string currentPath = current.substr(0, current.find('?'));
    if (target.empty()) return true;  // the same document
    if (target[0] == '/') {
        address.pathWithQuery = Normalised(target);
    } else if (target[0] == '?') {
        address.pathWithQuery = Normalised(currentPath + target);
    } else {
        address.pathWithQuery =
            Normalised(currentPath.substr(0, currentPath.rfind('/') + 1) + target);
    }
    return true;
}

}  // namespace wi::platform
