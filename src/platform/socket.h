// A small TCP client over IPv4, as the size probe speaks HTTP itself. Every wait on the peer is
// bounded by a time the caller gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace wi::platform {

// The IPv4 address of a host: a dotted address is used as it stands, anything else is looked up
// by name. False when it cannot be resolved (an empty host never resolves). The address is in
// host byte order (127.0.0.1 is 0x7f000001).
bool ResolveIPv4(const std::string& host, std::uint32_t& address);

// One IPv4 stream socket, created with the object and closed when it is destroyed or closed.
// Failures are reported as the socket layer's error numbers (never 0).
class TcpSocket {
public:
    TcpSocket();
    ~TcpSocket();
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // 0 when connected within the time; otherwise the error number (ETIMEDOUT when the time ran
    // out, a port outside 1..65535 is an invalid argument, a closed socket a bad descriptor).
    int Connect(std::uint32_t address, int port, int timeoutMs);
    // One send call that waits at most the time for room to write: the number of bytes it took
    // (fewer than size when the time ran out), or -1 on failure.
    long Send(const char* data, std::size_t size, int timeoutMs);
    // True when data (or the peer's close) can be received within the time.
    bool WaitReadable(int timeoutMs);
    // One receive call: the number of bytes received, 0 when the peer has closed, -1 on failure.
    long Receive(char* buffer, std::size_t size);
    void Close();

private:
    std::intptr_t handle_;
};

}  // namespace wi::platform
