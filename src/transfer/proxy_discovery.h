// Which proxy the system's automatic proxy configuration names for an address.
#pragma once

#include <string>

namespace wi::transfer {

struct ProxyInfo {
    std::string host;     // text before the ":" of the first proxy entry
    int port = 0;         // leading digits after the ":" (0 when there are none)
    std::string address;  // "http://" followed by the first proxy entry
};

// True when the configured proxy script names a proxy for the address; only the first entry of
// its list is used, and an entry without ":" counts as no proxy.
bool DiscoverProxy(const std::string& url, ProxyInfo& proxy);

}  // namespace wi::transfer
