#include "reachability.h"

#include <cstdint>

#include "platform/socket.h"
#include "report.h"
#include "transfer/upload_address.h"
#include "webinteractive/webinteractive.h"

namespace cli {

namespace {

constexpr int kConnectTimeoutMs = 2000;

// The address a configuration-reading command talked to, as Init took it from the document; ""
// when it talked to none. ReadUserInfo asks only when an upload address is configured too.
std::string ConfiguredAddress(const std::string& command) {
    if (command == "sysinfo upload") return IHostInc::GetConfigValue("UpSysUrl");
    if (command == "userinfo update") return IHostInc::GetConfigValue("UpUserUrl");
    if (command == "userinfo read" && *IHostInc::GetConfigValue("UpUserUrl") != '\0') {
        return IHostInc::GetConfigValue("ReadUserUrl");
    }
    return std::string();
}

}  // namespace

bool ServiceUnreachable(const std::string& url) {
    wi::transfer::UploadAddress address;
    // Only IPv4 addresses and names are tried: the socket layer speaks IPv4.
    if (!wi::transfer::SplitUploadAddress(url, address) ||
        address.host.find(':') != std::string::npos) {
        return false;
    }
    std::uint32_t ip = 0;
    if (!wi::platform::ResolveIPv4(address.host, ip)) return true;
    wi::platform::TcpSocket socket;
    return socket.Connect(ip, address.port, kConnectTimeoutMs) != 0;
}

void ExplainUnreachableService(const Command& command, const Arguments& arguments) {
    if (FailedOnInput()) return;
    std::string url;
    if (arguments.Has("--url")) {
        url = arguments.Get("--url");
    } else {
        url = ConfiguredAddress(command.name);
    }
    if (url.empty() || !ServiceUnreachable(url)) return;
    ReplaceFailure("cannot reach " + url +
                   ": is webinteractive-service running? Start it, or check the address");
}

}  // namespace cli
