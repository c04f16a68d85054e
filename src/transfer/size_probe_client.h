// A minimal HTTP/1.1 client over one TCP socket: one GET or HEAD, the answer kept as text.
#pragma once

#include <string>

#include "platform/socket.h"

namespace wi::transfer {

// Result codes of a probe request; any other value is the socket layer's error number from a
// failed connect.
enum ProbeCode : int {
    kProbeDone = 0,
    kProbeHostNotFound = 1,
    kProbeSendFailed = 4,
    kProbeBadPort = 5,
};

// Where a probe request goes, as read from its address.
struct ProbeTarget {
    std::string host;
    std::string resource = "/";
    int port = 80;
};

// Splits "http://host[:port][/path]" (the scheme may be missing). kProbeBadPort when the port
// is not a number from 1 to 65535; kProbeDone otherwise.
int ParseProbeAddress(const std::string& url, ProbeTarget& target);

// The request text: request line, Host, an empty User-Agent, Accept, Accept-Language and
// Connection: close.
std::string BuildProbeRequest(bool head, const std::string& resource, const std::string& host);

// One client per request: the socket is made with the client and closed after the request.
class ProbeClient {
public:
    static constexpr int kWaitMs = 5000;  // for the answer to start, and between pieces
    static constexpr std::size_t kMaxResponse = 4095;

    // Sends a GET (or HEAD) for the address, directly or through the proxy discovery names, and
    // collects the answer. A peer that does not start answering in time leaves an empty answer
    // and still counts as done.
    int Request(const std::string& url, bool head);
    // The answer's text: each received piece up to its first zero byte, at most kMaxResponse.
    const std::string& Response() const { return response_; }
    void Close() { socket_.Close(); }

private:
    void ReceiveAnswer();

    platform::TcpSocket socket_;
    std::string response_;
};

}  // namespace wi::transfer
