// The system's automatic proxy configuration: which proxies its proxy script names for an address.
#pragma once

#include <string>

namespace wi::platform {

// Asks the configured proxy script which proxies serve the address and stores their list, as the
// script answers it ("host:port" entries separated by ";"), in proxyList. False when there is no
// script, the query fails or the answer names no proxy. A system without such a facility (posix)
// always answers false, unless a test has injected a list.
bool QueryProxyScript(const std::string& url, std::string& proxyList);

// Makes QueryProxyScript answer every address with this list; "" puts the system's answer back.
void SetProxyListForTesting(const std::string& list);

}  // namespace wi::platform
