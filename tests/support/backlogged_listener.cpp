#include "support/backlogged_listener.h"

#include <stdexcept>

#include "support/loopback_socket.h"
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
    for (int i = 0; i < kMostFillers; ++i) {
        const int filler = sock::OpenTcp(true);
        if (filler < 0) break;
        fillers_.push_back(filler);
        if (sock::ConnectLoopback(filler, port_) == 0) continue;
        if (!sock::ConnectPending()) break;
        if (sock::PollOne(filler, POLLOUT, kFillerWaitMs) == 0) return;  // dropped: the queue is full
    }
    for (int filler : fillers_) sock::Close(filler);
    sock::Close(listener_);
    throw std::runtime_error("backlogged listener: the accept queue did not fill");
}

BackloggedListener::~BackloggedListener() {
    for (int filler : fillers_) sock::Close(filler);
    sock::Close(listener_);
}

std::string BackloggedListener::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

}  // namespace wi::test
