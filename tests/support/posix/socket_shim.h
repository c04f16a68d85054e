// The few socket calls of the test servers, on the build machine's sockets.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>

namespace wi::test::sock {

inline int OpenTcp(bool nonBlocking) {
    return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | (nonBlocking ? SOCK_NONBLOCK : 0), 0);
}
inline void Close(int socket) { ::close(socket); }
inline int Accept(int listener) { return ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC); }
// Waits up to milliseconds for the events (POLLIN, POLLOUT); > 0 when one came.
inline int PollOne(int socket, short events, int milliseconds) {
    pollfd watched{socket, events, 0};
    return ::poll(&watched, 1, milliseconds);
}
inline long Send(int socket, const char* data, std::size_t size) {
    return ::send(socket, data, size, MSG_NOSIGNAL);
}
inline long Receive(int socket, char* buffer, std::size_t size) {
    return ::recv(socket, buffer, size, 0);
}
// The last call was interrupted by a signal and may be repeated.
inline bool Interrupted() { return errno == EINTR; }
// A non-blocking connect has begun and goes on.
inline bool ConnectPending() { return errno == EINPROGRESS; }

// Binds the socket to 127.0.0.1 and a free port (returned in port) and listens.
inline bool ListenOnLoopback(int socket, int backlog, int& port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(socket, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(socket, backlog) != 0 ||
        ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return false;
    }
    port = ntohs(address.sin_port);
    return true;
}
// Connects to 127.0.0.1:port; 0 when connected.
inline int ConnectLoopback(int socket, int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<unsigned short>(port));
    return ::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
}

}  // namespace wi::test::sock
