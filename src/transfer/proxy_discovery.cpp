#include "transfer/proxy_discovery.h"

#include <algorithm>
#include <cctype>

#include "platform/proxy.h"

namespace wi::transfer {

bool DiscoverProxy(const std::string& url, ProxyInfo& proxy) {
    std::string list;
    if (!platform::QueryProxyScript(url, list) || list.empty()) return false;

    // The first entry ends at the first ";", unless the list starts with one.
    std::string entry = list;
    const std::size_t semicolon = list.find(';');
    if (semicolon != std::string::npos && semicolon > 0) entry = list.substr(0, semicolon);

    const std::size_t colon = entry.find(':');
    if (colon == std::string::npos) return false;

    // The port is the run of digits after the ":"; a value past the largest port stays invalid.
    int port = 0;
    for (std::size_t i = colon + 1;
         i < entry.size() && std::isdigit(static_cast<unsigned char>(entry[i])); ++i) {
        port = std::min(port * 10 + (entry[i] - '0'), 65536);
    }
    proxy.host = entry.substr(0, colon);
    proxy.port = port;
    proxy.address = "http://" + entry;
    return true;
}

}  // namespace wi::transfer
