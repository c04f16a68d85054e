#include "support/loopback_server.h"

#include <stdexcept>

#include "support/loopback_socket.h"

namespace wi::test {
namespace {

// How often the acceptor looks at the stop flag.
constexpr int kPollMs = 50;

}  // namespace

int ListenOnLoopback(int backlog, int& port) {
    const int listener = sock::OpenTcp(false);
    if (listener < 0 || !sock::ListenOnLoopback(listener, backlog, port)) {
        if (listener >= 0) sock::Close(listener);
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    return listener;
}

LoopbackServer::LoopbackServer() { listener_ = ListenOnLoopback(16, port_); }

LoopbackServer::~LoopbackServer() { StopServing(); }

std::string LoopbackServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void LoopbackServer::StartServing(std::function<void(int, std::size_t)> serve) {
    acceptor_ = std::thread([this, serve = std::move(serve)] {
        while (!Stopping()) {
            if (sock::PollOne(listener_, POLLIN, kPollMs) <= 0) continue;
            const int connection = sock::Accept(listener_);
            if (connection < 0) continue;
            const std::size_t number = ++taken_;
            workers_.emplace_back([serve, connection, number] { serve(connection, number); });
        }
    });
}

bool LoopbackServer::StopServing() {
    if (stopping_.exchange(true)) return false;
    if (acceptor_.joinable()) acceptor_.join();
    // The acceptor has ended, so no worker is added any more.
    for (std::thread& worker : workers_) worker.join();
    workers_.clear();
    if (listener_ >= 0) sock::Close(listener_);
    listener_ = -1;
    return true;
}

}  // namespace wi::test
