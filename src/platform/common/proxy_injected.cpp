#include "platform/common/proxy_injected.h"

#include <mutex>

#include "platform/proxy.h"

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

bool InjectedProxyList(std::string& proxyList) {
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
