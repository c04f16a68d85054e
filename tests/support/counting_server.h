// An HTTP server on 127.0.0.1 for uploads: it counts the body bytes of every request rather than
// keeping them (so a body of several GiB costs no memory), and can ask for NTLM: it then takes a
// client through the handshake on one connection (a 401 offering NTLM, the negotiate message,
// a challenge, the authenticate message) and accepts the request whose authenticate message
// names the expected user. The NT response is not checked cryptographically: the server proves
// the handshake's shape and what each leg carries, not the password.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "support/loopback_server.h"

namespace wi::test {

// One request as it arrived.
struct CountedRequest {
    std::string head;                // request line and headers, up to and including the blank line
    std::uint64_t announced = 0;     // its Content-Length
    std::uint64_t bodyBytes = 0;     // body bytes received
    std::string bodyStart;           // the first kKeptBodyBytes of them
    char lastByte = '\0';            // the body's last byte, where it has one
    bool complete = false;           // false when the peer closed before the whole body
    std::size_t connection = 0;      // the connection it came on, numbered from 1 by arrival
    int ntlmMessage = 0;             // the NTLM message its Authorization carries (1, 3), or 0
};

class CountingServer : public LoopbackServer {
public:
    static constexpr std::size_t kKeptBodyBytes = 65536;

    // Answers every request with 200 and the body "TRUE"; with an NTLM user, only a request that
    // completes the handshake for that user on its connection, and the others with a 401.
    explicit CountingServer(std::string ntlmUser = "");
    ~CountingServer();  // Stop()
    // The requests read so far, in the order they were completed.
    std::vector<CountedRequest> Requests() const;
    // Closes the listener and every connection and joins the threads.
    void Stop();

private:
    void Serve(int connection, std::size_t number);
    bool ReadRequest(int connection, std::string& pending, CountedRequest& request);
    // The answer to a request with this NTLM message ("" for none) on a connection that has had
    // the challenge or not.
    std::string Answer(const std::string& ntlmMessage, bool& challenged);

    std::string ntlmUser_;
    mutable std::mutex mutex_;
    std::vector<CountedRequest> requests_;
};

}  // namespace wi::test
