// An HTTP server on 127.0.0.1 whose answers a test scripts byte by byte, and which records the
// exact bytes of every request it reads. Use it only where a test must see or control the wire;
// real peers (nginx, tinyproxy, apache2) play every other part.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "support/loopback_server.h"

namespace wi::test {

// What the server does with one request, once it has read it completely.
struct WireReply {
    std::string bytes;   // sent exactly as they stand (may be empty, or a truncated answer)
    bool close = true;   // close the connection afterwards; else wait for the next request on it
    bool stall = false;  // send nothing and hold the connection open until the server stops
    // When not zero: send the bytes one at a time with this pause before each, then the filler
    // byte after every pause without end, until the client goes or the server stops.
    std::chrono::milliseconds trickle{0};
    char filler = '\0';
    // When not zero: send the bytes, then the filler byte as fast as the client takes it, until
    // the client goes, the server stops or this many bytes have gone in all (a guard against a
    // client that would never stop, so that its test fails without filling the disk).
    std::size_t endlessUpTo = 0;

    static WireReply Stall();
    static WireReply Trickle(std::string bytes, char filler, std::chrono::milliseconds pause);
    static WireReply Endless(std::string bytes, char filler, std::size_t upTo);
    // A complete answer: status line, the headers given (each ending in "\r\n"), a Content-Length
    // for the body unless withLength is false, a blank line and the body.
    static WireReply Http(int status, const std::string& body, const std::string& headers = "",
                          bool withLength = true);
};

// What the socket buffers of a loopback connection may hold beyond what its client has read: Linux
// grows a receive buffer up to the tcp_rmem maximum (32 MiB by default) and a send buffer to
// 4 MiB. A client that stops reading at some point has been sent at most this much more.
constexpr std::size_t kUnreadSlack = 48u << 20;

// One request as it arrived.
struct WireRequest {
    std::string bytes;                   // header and body, exactly as received
    std::string head;                    // the header, up to and including the blank line
    std::string body;                    // Content-Length bytes after it (fewer if cut off)
    std::vector<std::size_t> recvSizes;  // the size of every recv() that carried this request
    bool complete = false;               // false when the peer closed before the whole body
};

class WireServer : public LoopbackServer {
public:
    // Answers successive requests (over all connections, in arrival order) with the replies in
    // turn; the last reply answers every request after it. Starts listening at once.
    explicit WireServer(std::vector<WireReply> replies);
    ~WireServer();  // Stop()

    // A copy of the requests read so far, in the order they were completed. A request is kept
    // before it is answered: every request a client had an answer to is there.
    std::vector<WireRequest> Requests() const;
    // Waits until at least count requests have been read; false after the timeout.
    bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;
    // How many connections clients made before this call. The test first connects itself (a
    // sentinel) and waits until the server has taken that connection: connections are taken in
    // the order they arrive, so every earlier one is counted. Throws std::runtime_error when the
    // server does not take it within 30 seconds; once stopped, the connections it took.
    std::size_t Connections() const;
    // The bytes of every reply the server has managed to send so far.
    std::size_t BytesSent() const { return bytesSent_.load(); }

    // Closes the listener and every connection (stalled ones included) and joins the threads.
    void Stop();

private:
    void Serve(int connection);
    void Trickle(int connection, const WireReply& reply);
    void SendEndlessly(int connection, const WireReply& reply);
    void SendAll(int connection, const std::string& bytes);
    bool ReadRequest(int connection, std::string& pending, WireRequest& request);
    WireReply NextReply();

    std::vector<WireReply> replies_;
    std::size_t nextReply_ = 0;
    std::atomic<std::size_t> bytesSent_{0};
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<WireRequest> requests_;
    std::size_t sentinels_ = 0;  // connections of the test's own, counted by Connections()
};

}  // namespace wi::test
