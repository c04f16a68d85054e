// Sockets on 127.0.0.1 for the test servers, over the platform's socket calls (socket_shim.h).
#pragma once

#include "socket_shim.h"

namespace wi::test::sock {

// Binds the socket to 127.0.0.1 and a free port (returned in port) and listens.
inline bool ListenOnLoopback(int socket, int backlog, int& port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(Native(socket), reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(Native(socket), backlog) != 0 ||
        ::getsockname(Native(socket), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
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
    return ::connect(Native(socket), reinterpret_cast<sockaddr*>(&address), sizeof address);
}

}  // namespace wi::test::sock
