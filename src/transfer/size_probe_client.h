// A minimal HTTP/1.1 client over one TCP socket: one GET or HEAD, the answer kept as text.
#pragma once

#include <chrono>
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
    // The longest wait for the answer to start, and for each further piece of it.
    static constexpr int kWaitMs = 5000;
    // The longest a whole request may take, from its start through the connect and the send to
    // the end of the answer: a peer that trickles its answer a byte at a time cannot hold the
    // caller beyond it. Long enough for any short answer on a slow link.
    static constexpr int kRequestMs = 10000;
    static constexpr std::size_t kMaxResponse = 4095;

    // Sends a GET (or HEAD) for the address, directly or through the proxy discovery names, and
    // collects the answer. A peer that does not start answering in time leaves an empty answer,
    // and one still answering when the request's time is up leaves what it has sent so far;
    // both count as done. A connect that does not complete in time fails with the socket
    // layer's timeout error.
    int Request(const std::string& url, bool head);
    // The answer's text: each received piece up to its first zero byte, at most kMaxResponse.
    const std::string& Response() const { return response_; }
    void Close() { socket_.Close(); }

private:
    using Clock = std::chrono::steady_clock;

    void ReceiveAnswer(Clock::time_point deadline);

    platform::TcpSocket socket_;
    std::string response_;
};

}  // namespace wi::transfer
