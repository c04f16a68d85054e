#include "support/slow_peers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace wi::test {
namespace {

// How often blocked loops look at the stop flag.
constexpr int kPollMs = 50;
// A queue filler that has not connected within this time was dropped: the queue is full.
constexpr int kFillerWaitMs = 300;
constexpr int kMostFillers = 8;

// A listening socket on 127.0.0.1 and a free port, with the given backlog.
int Listen(int backlog, int& port) {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener, backlog) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (listener >= 0) ::close(listener);
        throw std::runtime_error("slow peer: cannot listen on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return listener;
}

std::string LocalUrl(int port, const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(port) + path;
}

}  // namespace

TrickleServer::TrickleServer(std::string answer, char filler, std::chrono::milliseconds pause)
    : answer_(std::move(answer)), filler_(filler), pause_(pause) {
    listener_ = Listen(16, port_);
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

TrickleServer::~TrickleServer() { Stop(); }

std::string TrickleServer::Url(const std::string& path) const { return LocalUrl(port_, path); }

std::vector<std::string> TrickleServer::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void TrickleServer::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) return;
        stopping_ = true;
    }
    stopped_.notify_all();
    if (acceptor_.joinable()) acceptor_.join();
    for (std::thread& worker : workers_) worker.join();  // no worker is added any more
    workers_.clear();
    ::close(listener_);
}

bool TrickleServer::Stopping() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return stopping_;
}

void TrickleServer::AcceptLoop() {
    while (!Stopping()) {
        pollfd watched{listener_, POLLIN, 0};
        if (::poll(&watched, 1, kPollMs) <= 0) continue;
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        std::lock_guard<std::mutex> lock(mutex_);
        workers_.emplace_back([this, connection] { Serve(connection); });
    }
}

void TrickleServer::Serve(int connection) {
    std::string head;
    while (head.find("\r\n\r\n") == std::string::npos && !Stopping()) {
        pollfd watched{connection, POLLIN, 0};
        if (::poll(&watched, 1, kPollMs) <= 0) continue;
        char buffer[4096];
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        head.append(buffer, static_cast<std::size_t>(n));
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(head);
    }
    for (std::size_t sent = 0;; ++sent) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (stopped_.wait_for(lock, pause_, [this] { return stopping_; })) break;
        }
        const char byte = sent < answer_.size() ? answer_[sent] : filler_;
        if (::send(connection, &byte, 1, MSG_NOSIGNAL) != 1) break;  // the client has gone
    }
    ::close(connection);
}

BackloggedListener::BackloggedListener() {
    // A backlog of 0 leaves room for one waiting connection; the fillers take it.
    listener_ = Listen(0, port_);
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
    throw std::runtime_error("slow peer: the accept queue did not fill");
}

BackloggedListener::~BackloggedListener() {
    for (int filler : fillers_) ::close(filler);
    ::close(listener_);
}

std::string BackloggedListener::Url(const std::string& path) const {
    return LocalUrl(port_, path);
}

}  // namespace wi::test
