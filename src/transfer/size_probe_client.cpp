#include "transfer/size_probe_client.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "transfer/proxy_discovery.h"

namespace wi::transfer {
namespace {

constexpr std::size_t kSchemeLength = 7;  // "http://"
constexpr std::size_t kPieceSize = 4096;

// The whole milliseconds left until the deadline, 0 once it has passed.
int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

int ParseProbeAddress(const std::string& url, ProbeTarget& target) {
    const std::size_t hostBegin = url.find("http://") != std::string::npos ? kSchemeLength : 0;
    const std::size_t slash = url.find('/', kSchemeLength);
    target.resource = "/";
    if (slash == std::string::npos) {
        target.host = url.substr(std::min(hostBegin, url.size()));
    } else {
        target.host = url.substr(hostBegin, slash - hostBegin);
        if (target.host.empty()) {
            target.host = url.substr(kSchemeLength);
        } else {
            target.resource = url.substr(slash);
        }
    }

    target.port = 80;
    const std::size_t colon = target.host.find(':');
    if (colon != std::string::npos) {
        // Read like a C decimal conversion; a value that is no port is refused, not wrapped.
        const long port = std::strtol(target.host.c_str() + colon + 1, nullptr, 10);
        target.host.erase(colon);
        if (port < 1 || port > 65535) return kProbeBadPort;
        target.port = static_cast<int>(port);
    }
    return kProbeDone;
}

std::string BuildProbeRequest(bool head, const std::string& resource, const std::string& host) {
    std::string text = head ? "HEAD " : "GET ";
    text += resource + " HTTP/1.1\r\n";
    text += "Host: " + host + "\r\n";
    text += "User-Agent: \r\n";
    text += "Accept: */*\r\n";
    text += "Accept-Language: en-us,en;q=0.5\r\n";
    text += "Connection: close\r\n";
    text += "\r\n";
    return text;
}

int ProbeClient::Request(const std::string& url, bool head) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kRequestMs);
    response_.clear();
    ProbeTarget target;
    const int parsed = ParseProbeAddress(url, target);
    if (parsed != kProbeDone) return parsed;

    std::uint32_t address = 0;
    if (!platform::ResolveIPv4(target.host, address)) return kProbeHostNotFound;
    int port = target.port;
    std::string resource = target.resource;

    ProxyInfo proxy;
    if (DiscoverProxy(url, proxy)) {
        // An unusable proxy ends the request quietly, with an empty answer.
        if (!platform::ResolveIPv4(proxy.host, address)) return kProbeDone;
        port = proxy.port;
        resource = url;
    }

    const std::string request = BuildProbeRequest(head, resource, target.host);
    const int connected = socket_.Connect(address, port, MillisecondsLeft(deadline));
    if (connected != 0) return connected;
    if (socket_.Send(request.data(), request.size(), MillisecondsLeft(deadline)) < 1) {
        return kProbeSendFailed;
    }
    ReceiveAnswer(deadline);
    return kProbeDone;
}

// Reads until the peer closes, an error occurs, the text is full, the peer falls silent for the
// whole wait (a peer that keeps the connection open must not hold the caller forever) or the
// request's time is up (nor must one that keeps sending).
void ProbeClient::ReceiveAnswer(Clock::time_point deadline) {
    char piece[kPieceSize];
    for (;;) {
        const int left = MillisecondsLeft(deadline);
        if (left == 0 || !socket_.WaitReadable(std::min(kWaitMs, left))) return;
        const long received = socket_.Receive(piece, sizeof piece);
        if (received <= 0) return;
        // A piece counts as text up to its first zero byte.
        const std::size_t length = static_cast<std::size_t>(received);
        const char* zero = static_cast<const char*>(std::memchr(piece, 0, length));
        const std::size_t textLength =
            zero != nullptr ? static_cast<std::size_t>(zero - piece) : length;
        response_.append(piece, std::min(textLength, kMaxResponse - response_.size()));
        if (response_.size() == kMaxResponse) return;
    }
}

}  // namespace wi::transfer
