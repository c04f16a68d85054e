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

// Binds the socket to 127.0.0.1 and a free port (returned in port) and listens.
inline bool ListenOnLoopback(int socket, int backlog, int& port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(static_cast<SOCKET>(socket), reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(static_cast<SOCKET>(socket), backlog) != 0 ||
        ::getsockname(static_cast<SOCKET>(socket), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
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
    return ::connect(static_cast<SOCKET>(socket), reinterpret_cast<sockaddr*>(&address), sizeof address);
}

}  // namespace wi::test::sock
