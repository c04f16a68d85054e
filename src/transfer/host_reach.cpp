// The host extra that tells a service's host name that does not resolve from one that does not
// answer, by the lookup the transfers make.
#include <cstdint>
#include <string>

#include "platform/socket.h"
#include "transfer/upload_address.h"
#include "webinteractive/host.h"

namespace IHostInc {

int ResolveHostName(const char* url, const char** host) {
    thread_local std::string name;
    name.clear();
    if (host != nullptr) *host = name.c_str();
    wi::transfer::UploadAddress address;
    // Only names and IPv4 addresses are looked up: the socket layer speaks IPv4.
    if (url == nullptr || !wi::transfer::SplitUploadAddress(url, address) ||
        address.host.find(':') != std::string::npos) {
        return -1;
    }
    name = address.host;
    if (host != nullptr) *host = name.c_str();
    std::uint32_t ip = 0;
    return wi::platform::ResolveIPv4(name, ip) ? 1 : 0;
}

}  // namespace IHostInc
