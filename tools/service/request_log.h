// The service's request log: one line per answered request in the combined log format (the one
// Apache and nginx write by default, which log tools read) followed by the request's duration:
//
//   127.0.0.1 - - [12/Mar/2025:10:04:05 +0100] "GET /softlist HTTP/1.1" 200 512 "-" "curl" 0.003
//
// client, identity and user ("-"), local time, request line, status, body bytes sent (0 for HEAD
// and for answers cut off before their body), Referer, User-Agent, seconds from the request's
// first byte to the end of its answer. Quotes, backslashes and bytes outside printable ASCII in
// the quoted fields are written as \xHH, so that every line stays one line of plain text.
#pragma once

#include <chrono>
#include <ctime>
#include <string>

namespace wi::service {

struct LoggedRequest {
    std::string client;
    std::time_t time = 0;
    std::string method;  // empty for a connection refused or cut off before its request line
    std::string target;
    std::string version;
    int status = 0;
    unsigned long long bodyBytes = 0;
    std::string referer;
    std::string userAgent;
    std::chrono::steady_clock::duration duration{};
};

std::string CombinedLogLine(const LoggedRequest& request);

// The client to log for a request: the connection's peer, or behind a trusted proxy the address
// the proxy added last to X-Forwarded-For (the one that connected to it).
std::string LoggedClient(const std::string& peer, const std::string& forwardedFor,
                         bool trustProxy);

}  // namespace wi::service
