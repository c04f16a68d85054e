#include "posix/connection_stream.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace wi::service {

namespace {

// Waits are cut into slices of at most this, so that a stopping server is noticed.
constexpr std::chrono::milliseconds kSlice{100};

void AddressOf(const sockaddr_storage& address, std::string& ip, int& port) {
    char text[INET6_ADDRSTRLEN] = "";
    if (address.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        port = ntohs(v4.sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
        inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        port = ntohs(v6.sin6_port);
    }
    ip = text;
}

}  // namespace

ConnectionStream::ConnectionStream(socket_t socket, const Waits& waits,
                                   const std::atomic<socket_t>& listening)
    : socket_(socket), waits_(waits), listening_(listening) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getpeername(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        AddressOf(address, peerAddress_, peerPort_);
    }
}

bool ConnectionStream::WaitFor(short events, Clock::time_point until) const {
    for (;;) {
        if (listening_ == INVALID_SOCKET) return false;
        const auto now = Clock::now();
        if (now >= until) return false;
        const auto slice = std::min<Clock::duration>(until - now, kSlice);
        pollfd watched{socket_, events, 0};
        const int ready = poll(
            &watched, 1,
            static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(slice).count()));
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) return false;
    }
}

ConnectionStream::Clock::time_point ConnectionStream::ReadDeadline() const {
    if (!inBody_) {
        return phaseStart_ + std::chrono::seconds(waits_.limits.headerSeconds);
    }
    const auto earned = std::chrono::duration<double>(
        static_cast<double>(bodyBytesRead_) /
        static_cast<double>(std::max<std::size_t>(waits_.limits.bodyBytesPerSecond, 1)));
    return phaseStart_ + std::chrono::seconds(waits_.limits.bodySeconds) +
           std::chrono::duration_cast<Clock::duration>(earned);
}

bool ConnectionStream::is_readable() const {
    if (bufferBegin_ < bufferEnd_) return true;
    return WaitFor(POLLIN, std::min(Clock::now() + waits_.eachRead, ReadDeadline()));
}

bool ConnectionStream::is_writable() const {
    return WaitFor(POLLOUT, Clock::now() + waits_.eachWrite);
}

ssize_t ConnectionStream::read(char* ptr, size_t size) {
    if (bufferBegin_ == bufferEnd_) {
        const auto deadline = ReadDeadline();
        if (!WaitFor(POLLIN, std::min(Clock::now() + waits_.eachRead, deadline))) {
            if (Clock::now() >= deadline) timedOut_ = true;
            return -1;
        }
        ssize_t got;
        do {
            got = recv(socket_, buffer_, sizeof buffer_, 0);
        } while (got < 0 && errno == EINTR);
        if (got <= 0) return got;
        bufferBegin_ = 0;
        bufferEnd_ = static_cast<size_t>(got);
    }
    const size_t taken = std::min(size, bufferEnd_ - bufferBegin_);
    if (inBody_) {
        bodyBytesRead_ += taken;
    } else if ((headerBytesRead_ += taken) > kMaxHeaderBytes) {
        headersTooLarge_ = true;
        return -1;
    }
    std::memcpy(ptr, buffer_ + bufferBegin_, taken);
    bufferBegin_ += taken;
    return static_cast<ssize_t>(taken);
}

ssize_t ConnectionStream::write(const char* ptr, size_t size) {
    if (!is_writable()) return -1;
    ssize_t sent;
    do {
        sent = send(socket_, ptr, size, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    if (sent > 0) CountAnswer(ptr, static_cast<size_t>(sent));
    return sent;
}

void ConnectionStream::CountAnswer(const char* data, size_t size) {
    bytesWritten_ += size;
    while (size > 0 && !headerDone_) {
        // Header blocks are a few hundred bytes: kept whole until their blank line.
        const size_t before = headerBlock_.size();
        headerBlock_.append(data, size);
        const auto end = headerBlock_.find("\r\n\r\n", before >= 3 ? before - 3 : 0);
        if (end == std::string::npos) return;
        const size_t used = end + 4 - before;
        data += used;
        size -= used;
        // An interim answer ("HTTP/1.1 100 Continue") comes before the real one.
        headerDone_ = headerBlock_.compare(0, 10, "HTTP/1.1 1") != 0;
        headerBlock_.clear();
    }
    bodyBytes_ += size;
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    ip = peerAddress_;
    port = peerPort_;
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        AddressOf(address, ip, port);
    }
}

bool ConnectionStream::WaitForRequest() {
    if (bufferBegin_ == bufferEnd_ && !WaitFor(POLLIN, Clock::now() + waits_.keepAlive)) {
        return false;
    }
    requestStart_ = phaseStart_ = Clock::now();
    inBody_ = false;
    bodyBytesRead_ = 0;
    headerBytesRead_ = 0;
    bytesWritten_ = 0;
    headerBlock_.clear();
    headerDone_ = false;
    bodyBytes_ = 0;
    return true;
}

void ConnectionStream::StartBody() {
    phaseStart_ = Clock::now();
    inBody_ = true;
    bodyBytesRead_ = 0;
}

void ConnectionStream::WriteDirect(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t sent = write(bytes.data() + done, bytes.size() - done);
        if (sent <= 0) return;
        done += static_cast<size_t>(sent);
    }
}

void ConnectionStream::FinishAndDiscard() {
    shutdown(socket_, SHUT_WR);
    char discarded[4096];
    for (int pieces = 0; pieces < 16; ++pieces) {
        if (recv(socket_, discarded, sizeof discarded, MSG_DONTWAIT) <= 0) return;
    }
}

}  // namespace wi::service
