// The TCP client over Windows Sockets. Error numbers are the WSA ones (WSAETIMEDOUT, ...).
#include "platform/common/socket_calls.h"
#include "platform/socket.h"

#include <algorithm>
#include <chrono>

namespace wi::platform {

// Windows Sockets 2.2, started once for the process and left running until it ends: sockets may
// be made on any thread at any time, and the system closes them with the process.
bool StartSockets() {
    static const bool started = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

namespace {

SOCKET AsSocket(std::intptr_t handle) { return static_cast<SOCKET>(handle); }

constexpr std::intptr_t kNoSocket = -1;

// Waits up to the time for the events on one socket: > 0 when they came, 0 when the time ran
// out, < 0 on failure. WSAPoll has no signals to go on after, so one call is the whole wait.
int PollFor(SOCKET socket, short events, int timeoutMs) {
    WSAPOLLFD watched{};
    watched.fd = socket;
    watched.events = events;
    return WSAPoll(&watched, 1, std::max(timeoutMs, 0));
}

}  // namespace

TcpSocket::TcpSocket() : handle_(kNoSocket) {
    if (!StartSockets()) return;
    // Not inherited by the processes the library starts.
    const SOCKET made =
        WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (made != INVALID_SOCKET) handle_ = static_cast<std::intptr_t>(made);
}

TcpSocket::~TcpSocket() { Close(); }

void TcpSocket::Close() {
    if (handle_ != kNoSocket) closesocket(AsSocket(handle_));
    handle_ = kNoSocket;
}

int TcpSocket::Connect(std::uint32_t address, int port, int timeoutMs) {
    if (handle_ == kNoSocket) return WSAENOTSOCK;
    if (port < 1 || port > 65535) return WSAEINVAL;
    const SOCKET socket = AsSocket(handle_);
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<u_short>(port));
    peer.sin_addr.s_addr = htonl(address);

    // Connects without blocking and waits for the outcome only as long as allowed: a peer that
    // drops the attempts would otherwise hold a blocking connect for some 20 seconds or more.
    u_long nonBlocking = 1;
    if (ioctlsocket(socket, FIONBIO, &nonBlocking) != 0) return WSAGetLastError();
    int error = 0;
    if (connect(socket, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        error = WSAGetLastError();
        if (error == WSAEWOULDBLOCK) {
            // select rather than WSAPoll: older systems' WSAPoll never reports a refused
            // connect, which select shows in the exception set. SO_ERROR then holds the reason.
            fd_set writable;
            fd_set failed;
            FD_ZERO(&writable);
            FD_ZERO(&failed);
            FD_SET(socket, &writable);
            FD_SET(socket, &failed);
            const int limitMs = std::max(timeoutMs, 0);
            timeval limit{limitMs / 1000, (limitMs % 1000) * 1000};
            const int rc = select(0, nullptr, &writable, &failed, &limit);
            int length = sizeof error;
            if (rc == 0) {
                error = WSAETIMEDOUT;
            } else if (rc < 0) {
                error = WSAGetLastError();
            } else if (getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error),
                                  &length) != 0) {
                error = WSAGetLastError();
            }
        }
    }
    u_long blocking = 0;
    if (ioctlsocket(socket, FIONBIO, &blocking) != 0 && error == 0) error = WSAGetLastError();
    return error;
}

long TcpSocket::Send(const char* data, std::size_t size, int timeoutMs) {
    if (handle_ == kNoSocket) return -1;
    const SOCKET socket = AsSocket(handle_);
    // A send timeout of zero would mean none at all.
    const DWORD limitMs = static_cast<DWORD>(std::max(timeoutMs, 1));
    if (setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&limitMs),
                   sizeof limitMs) != 0) {
        return -1;
    }
    const int piece = static_cast<int>(std::min<std::size_t>(size, 0x7fffffff));
    const int sent = send(socket, data, piece, 0);
    return sent == SOCKET_ERROR ? -1 : static_cast<long>(sent);
}

bool TcpSocket::WaitReadable(int timeoutMs) {
    if (handle_ == kNoSocket) return false;
    // A closed peer shows as POLLHUP, which counts as readable: the receive then sees the end.
    return PollFor(AsSocket(handle_), POLLRDNORM, timeoutMs) > 0;
}

long TcpSocket::Receive(char* buffer, std::size_t size) {
    if (handle_ == kNoSocket) return -1;
    const int room = static_cast<int>(std::min<std::size_t>(size, 0x7fffffff));
    const int received = recv(AsSocket(handle_), buffer, room, 0);
    return received == SOCKET_ERROR ? -1 : static_cast<long>(received);
}

}  // namespace wi::platform
