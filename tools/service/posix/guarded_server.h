// cpp-httplib's server with the client limits of client_limits.h. httplib 0.11 bounds each wait
// for a byte but not a whole request, and gives every connection a worker of its pool: clients
// that open many connections and send slowly would take every worker. This server runs each
// connection through ConnectionStream (the whole header and body times) and refuses connections
// beyond the limit of their address with 503 before they hold a worker for long.
#pragma once

#include <httplib.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>

#include "client_limits.h"

namespace wi::service {

class GuardedServer : public httplib::Server {
public:
    // What the request log needs beyond the request and its answer.
    struct Exchange {
        std::string peer;  // the connection's client address
        unsigned long long bodyBytes = 0;
        std::chrono::steady_clock::duration duration{};
    };
    // Called once for every answer, also for the refusals and cut-off requests that httplib never
    // sees (their request has no method).
    using RequestLogger =
        std::function<void(const httplib::Request&, const httplib::Response&, const Exchange&)>;

    GuardedServer(const ClientLimits& limits, RequestLogger logger);

    // On a thread handling a request: its body stopped arriving within the body time.
    static bool BodyTimedOut();

private:
    bool process_and_close_socket(socket_t sock) override;
    // Takes a place among the address's connections; false when it has none left.
    bool Admit(const std::string& address);
    void Leave(const std::string& address);
    // Logs an answer written outside httplib.
    void LogBare(const std::string& peer, int status, unsigned long long bodyBytes,
                 std::chrono::steady_clock::time_point start);

    ClientLimits limits_;
    RequestLogger requestLogger_;
    std::mutex addressesMutex_;
    std::unordered_map<std::string, std::size_t> connectionsByAddress_;
};

}  // namespace wi::service
