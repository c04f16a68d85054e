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

// The platform's handle of a socket kept in an int.
inline int Native(int socket) { return socket; }

}  // namespace wi::test::sock
