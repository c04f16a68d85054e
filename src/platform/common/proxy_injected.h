// The proxy list a test injected with SetProxyListForTesting, which every backend's
// QueryProxyScript answers before asking its system.
#pragma once

#include <string>

namespace wi::platform {

// Stores the injected list in proxyList; false, leaving it untouched, when none is injected.
bool InjectedProxyList(std::string& proxyList);

}  // namespace wi::platform
