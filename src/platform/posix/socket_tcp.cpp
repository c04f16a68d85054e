// The TCP client over BSD sockets.
#include "platform/socket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/common/socket_calls.h"

namespace wi::platform {
namespace {

// Waits up to the time for the events on one descriptor, going on after a signal with the time
// that is left: as poll(), > 0 when they came, 0 when the time ran out, < 0 on failure.
int PollFor(int descriptor, short events, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd watched{descriptor, events, 0};
    int rc;
    for (int left = timeoutMs;;) {
        rc = ::poll(&watched, 1, std::max(left, 0));
        if (rc >= 0 || errno != EINTR) return rc;
        left = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
    }
}

}  // namespace

bool StartSockets() { return true; }

TcpSocket::TcpSocket() : handle_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP)) {}

TcpSocket::~TcpSocket() { Close(); }

void TcpSocket::Close() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = -1;
}

int TcpSocket::Connect(std::uint32_t address, int port, int timeoutMs) {
    if (handle_ < 0) return EBADF;
    if (port < 1 || port > 65535) return EINVAL;
    const int descriptor = static_cast<int>(handle_);
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<std::uint16_t>(port));
    peer.sin_addr.s_addr = htonl(address);

    // Connects without blocking and waits for the outcome only as long as allowed: a peer that
    // drops the attempts would otherwise hold a blocking connect for minutes.
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) != 0) return errno;
    int error = 0;
    if (::connect(descriptor, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        error = errno;
        // After EINTR the connection is still being made, as after EINPROGRESS.
        if (error == EINPROGRESS || error == EINTR) {
            const int rc = PollFor(descriptor, POLLOUT, timeoutMs);
            socklen_t length = sizeof error;
            if (rc == 0) {
                error = ETIMEDOUT;
            } else if (rc < 0) {
                error = errno;
            } else if (::getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
                error = errno;
            }
        }
    }
    if (::fcntl(descriptor, F_SETFL, flags) != 0 && error == 0) error = errno;
    return error;
}

long TcpSocket::Send(const char* data, std::size_t size, int timeoutMs) {
    if (handle_ < 0) return -1;
    const int descriptor = static_cast<int>(handle_);
    // A send timeout of zero would mean none at all.
    const int limitMs = std::max(timeoutMs, 1);
    timeval limit{};
    limit.tv_sec = limitMs / 1000;
    limit.tv_usec = static_cast<suseconds_t>(limitMs % 1000) * 1000;
    if (::setsockopt(descriptor, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit) != 0) return -1;
    ssize_t sent;
    do {
        sent = ::send(descriptor, data, size, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return static_cast<long>(sent);
}

bool TcpSocket::WaitReadable(int timeoutMs) {
    if (handle_ < 0) return false;
    return PollFor(static_cast<int>(handle_), POLLIN, timeoutMs) > 0;
}

long TcpSocket::Receive(char* buffer, std::size_t size) {
    if (handle_ < 0) return -1;
    ssize_t received;
    do {
        received = ::recv(static_cast<int>(handle_), buffer, size, 0);
    } while (received < 0 && errno == EINTR);
    return static_cast<long>(received);
}

}  // namespace wi::platform
