// posix has no proxy-script service: only a list a test injected is ever answered.
#include "platform/proxy.h"

#include "platform/common/proxy_injected.h"

namespace wi::platform {

bool QueryProxyScript(const std::string& /*url*/, std::string& proxyList) {
    return InjectedProxyList(proxyList);
}

}  // namespace wi::platform
