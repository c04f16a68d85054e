// posix has no proxy-script service: only a list a test injected is ever answered.
#include "platform/proxy.h"

#include <mutex>

namespace wi::platform {
namespace {

std::mutex& InjectedListMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string& InjectedList() {
    static std::string list;
    return list;
}

}  // namespace

bool QueryProxyScript(const std::string& /*url*/, std::string& proxyList) {
    std::lock_guard<std::mutex> lock(InjectedListMutex());
    if (InjectedList().empty()) return false;
    proxyList = InjectedList();
    return true;
}

void SetProxyListForTesting(const std::string& list) {
    std::lock_guard<std::mutex> lock(InjectedListMutex());
    InjectedList() = list;
}

}  // namespace wi::platform
