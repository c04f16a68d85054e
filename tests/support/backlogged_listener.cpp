#include "support/backlogged_listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "support/wire_server.h"

namespace wi::test {
namespace {

// A queue filler that has not connected within this time was dropped: the queue is full.
constexpr int kFillerWaitMs = 300;
constexpr int kMostFillers = 8;

}  // namespace

BackloggedListener::BackloggedListener() {
    // A backlog of 0 leaves room for one waiting connection; the fillers take it.
    listener_ = ListenOnLoopback(0, port_);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port_));
    for (int i = 0; i < kMostFillers; ++i) {
        const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (filler < 0) break;
        fillers_.push_back(filler);
        if (::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) continue;
        if (errno != EINPROGRESS) break;
        pollfd watched{filler, POLLOUT, 0};
        if (::poll(&watched, 1, kFillerWaitMs) == 0) return;  // dropped: the queue is full
    }
    for (int filler : fillers_) ::close(filler);
    ::close(listener_);
    throw std::runtime_error("backlogged listener: the accept queue did not fill");
}

BackloggedListener::~BackloggedListener() {
    for (int filler : fillers_) ::close(filler);
    ::close(listener_);
}

std::string BackloggedListener::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

}  // namespace wi::test
