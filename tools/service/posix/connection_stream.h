// One client connection as cpp-httplib reads and writes it, with the waits the service bounds:
// httplib bounds each single wait for bytes, so a client that sends a byte now and then holds its
// worker for ever; this stream also bounds the whole time a request's headers and its body may
// take, and counts what an answer's body really sent.
#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <string>

#include "client_limits.h"

namespace wi::service {

class ConnectionStream : public httplib::Stream {
public:
    using Clock = std::chrono::steady_clock;
    // A request line and headers beyond this are refused as they arrive: httplib reads any
    // number of header lines, and a request line of any length, into memory.
    static constexpr size_t kMaxHeaderBytes = 64 * 1024;

    struct Waits {
        ClientLimits limits;
        std::chrono::milliseconds keepAlive{1000};  // for the first byte of a request
        std::chrono::milliseconds eachRead{30000};  // for any byte at all
        std::chrono::milliseconds eachWrite{30000};  // for room to write any byte
    };

    // The stream gives up waiting once listening holds INVALID_SOCKET (the server stops).
    ConnectionStream(socket_t socket, const Waits& waits, const std::atomic<socket_t>& listening);

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return socket_; }

    // Waits up to the keep-alive time for the first byte of the next request, then gives its
    // request line and headers the header time. False when none came, the client closed or the
    // server stops.
    bool WaitForRequest();
    // The headers are in: what follows is the body, which has the body time.
    void StartBody();
    // A wait ran past the header or body time: the request was cut off.
    bool TimedOut() const { return timedOut_; }
    // The request line and headers ran past kMaxHeaderBytes: the request was cut off.
    bool HeadersTooLarge() const { return headersTooLarge_; }
    // Something of an answer to the current request went out.
    bool Answered() const { return bytesWritten_ > 0; }
    // The bytes of the current answer's body sent so far (what followed its header block; an
    // interim "100 Continue" is no answer).
    unsigned long long BodyBytesSent() const { return bodyBytes_; }
    Clock::time_point RequestStart() const { return requestStart_; }
    const std::string& PeerAddress() const { return peerAddress_; }

    // Writes a whole short answer, waiting at most the write time; for answers outside httplib
    // (a refused connection, a request cut off).
    void WriteDirect(const std::string& bytes);
    // Ends the sending side and reads away what the client has already sent, without waiting:
    // closing a socket with unread bytes resets the connection, and the client could lose the
    // answer written just before.
    void FinishAndDiscard();

private:
    // Waits for the events (POLLIN, POLLOUT) up to the time; false when the time ran out first
    // or the server stops.
    bool WaitFor(short events, Clock::time_point until) const;
    Clock::time_point ReadDeadline() const;
    void CountAnswer(const char* data, size_t size);

    socket_t socket_;
    Waits waits_;
    const std::atomic<socket_t>& listening_;
    std::string peerAddress_;
    int peerPort_ = -1;

    char buffer_[4096];
    size_t bufferBegin_ = 0, bufferEnd_ = 0;

    Clock::time_point requestStart_{};
    Clock::time_point phaseStart_{};
    bool inBody_ = false;
    unsigned long long bodyBytesRead_ = 0;
    size_t headerBytesRead_ = 0;
    bool timedOut_ = false;
    bool headersTooLarge_ = false;

    unsigned long long bytesWritten_ = 0;
    std::string headerBlock_;  // the answer's header block while it is being written
    bool headerDone_ = false;
    unsigned long long bodyBytes_ = 0;
};

}  // namespace wi::service
