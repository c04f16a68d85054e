// Fuzz target for the reader of a redirect's Location value (and the address splitter it uses).
// The first line is the address that answered with the redirect (a fixed one when it is no http
// address), the rest the Location value. Neither may crash; a followed address has a host without
// control characters, a port in 1-65535, a path that starts with "/" and holds no fragment, and
// reads back to itself; a Location that is not followed leaves the address as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/common/http_redirect.h"

namespace {

using wi::platform::HttpAddress;

bool HasControl(const std::string& text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) return true;
    }
    return false;
}

bool Same(const HttpAddress& a, const HttpAddress& b) {
    return a.secure == b.secure && a.host == b.host && a.port == b.port &&
           a.pathWithQuery == b.pathWithQuery;
}

void CheckWellFormed(const HttpAddress& address) {
    if (address.host.empty() || HasControl(address.host) || address.port < 1 ||
        address.port > 65535 || address.pathWithQuery.empty() || address.pathWithQuery[0] != '/' ||
        address.pathWithQuery.find('#') != std::string::npos || HasControl(address.pathWithQuery)) {
        std::abort();
    }
    const std::string host = address.host.find(':') != std::string::npos
                                 ? "[" + address.host + "]" : address.host;
    const std::string text = std::string(address.secure ? "https" : "http") + "://" + host + ":" +
                             std::to_string(address.port) + address.pathWithQuery;
    HttpAddress again;
    if (!wi::platform::SplitHttpAddress(text, again) || !Same(again, address)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t lineEnd = input.find('\n');
    const std::string base = input.substr(0, lineEnd);
    const std::string location = lineEnd == std::string::npos ? "" : input.substr(lineEnd + 1);

    HttpAddress address;
    if (wi::platform::SplitHttpAddress(base, address)) {
        CheckWellFormed(address);
    } else if (!wi::platform::SplitHttpAddress("http://svc.example:8080/a/b/c?q=1", address)) {
        std::abort();
    }
    const HttpAddress before = address;
    if (wi::platform::FollowLocation(location, address)) {
        CheckWellFormed(address);
    } else if (!Same(address, before)) {
        std::abort();
    }
    return 0;
}
