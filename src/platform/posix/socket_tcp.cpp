// The TCP client over BSD sockets.
#include "platform/socket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace wi::platform {

bool ResolveIPv4(const std::string& host, std::uint32_t& address) {
    if (host.empty()) return false;
    in_addr dotted{};
    if (inet_pton(AF_INET, host.c_str(), &dotted) == 1) {
        address = ntohl(dotted.s_addr);
        return true;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
    address = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    freeaddrinfo(found);
    return true;
}

TcpSocket::TcpSocket() : handle_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP)) {}

TcpSocket::~TcpSocket() { Close(); }

void TcpSocket::Close() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = -1;
}

int TcpSocket::Connect(std::uint32_t address, int port) {
    if (handle_ < 0) return EBADF;
    if (port < 1 || port > 65535) return EINVAL;
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<std::uint16_t>(port));
    peer.sin_addr.s_addr = htonl(address);
    int rc;
    do {
        rc = ::connect(static_cast<int>(handle_), reinterpret_cast<const sockaddr*>(&peer),
                       sizeof peer);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) return 0;
    return errno != 0 ? errno : ECONNREFUSED;
}

long TcpSocket::Send(const char* data, std::size_t size) {
    if (handle_ < 0) return -1;
    ssize_t sent;
    do {
        sent = ::send(static_cast<int>(handle_), data, size, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return static_cast<long>(sent);
}

bool TcpSocket::WaitReadable(int timeoutMs) {
    if (handle_ < 0) return false;
    pollfd watched{static_cast<int>(handle_), POLLIN, 0};
    int rc;
    do {
        rc = ::poll(&watched, 1, timeoutMs);
    } while (rc < 0 && errno == EINTR);
    return rc > 0;
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
