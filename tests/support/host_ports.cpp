// Ports on 127.0.0.1, through the sockets of the test's own platform.
#include <stdexcept>

#include "support/loopback_socket.h"
#include "support/host.h"

namespace wi::test::host {

int FreePort() {
    const int probe = sock::OpenTcp(false);
    int port = 0;
    const bool bound = probe >= 0 && sock::ListenOnLoopback(probe, 1, port);
    if (probe >= 0) sock::Close(probe);
    if (!bound) throw std::runtime_error("no free port on 127.0.0.1");
    return port;
}

}  // namespace wi::test::host
