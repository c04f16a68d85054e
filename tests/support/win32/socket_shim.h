// The few socket calls of the test servers, on Winsock. Socket handles are kept in an int, as on
// posix: Winsock's handles are small numbers, and INVALID_SOCKET becomes -1.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstddef>

namespace wi::test::sock {

// Winsock is started once for the test program, before the first socket.
inline void Start() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    (void)started;
}
inline int OpenTcp(bool nonBlocking) {
    Start();
    const SOCKET handle = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (handle == INVALID_SOCKET) return -1;
    u_long on = nonBlocking ? 1 : 0;
    ::ioctlsocket(handle, FIONBIO, &on);
    return static_cast<int>(handle);
}
inline void Close(int socket) { ::closesocket(static_cast<SOCKET>(socket)); }
inline int Accept(int listener) {
    const SOCKET handle = ::accept(static_cast<SOCKET>(listener), nullptr, nullptr);
    return handle == INVALID_SOCKET ? -1 : static_cast<int>(handle);
}
inline int PollOne(int socket, short events, int milliseconds) {
    WSAPOLLFD watched{static_cast<SOCKET>(socket), events, 0};
    return ::WSAPoll(&watched, 1, milliseconds);
}
inline long Send(int socket, const char* data, std::size_t size) {
    return ::send(static_cast<SOCKET>(socket), data, static_cast<int>(size), 0);
}
inline long Receive(int socket, char* buffer, std::size_t size) {
    return ::recv(static_cast<SOCKET>(socket), buffer, static_cast<int>(size), 0);
}
inline bool Interrupted() { return WSAGetLastError() == WSAEINTR; }
inline bool ConnectPending() { return WSAGetLastError() == WSAEWOULDBLOCK; }

// The platform's handle of a socket kept in an int.
inline SOCKET Native(int socket) { return static_cast<SOCKET>(socket); }

}  // namespace wi::test::sock
