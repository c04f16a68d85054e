#include "support/wire_server.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <stdexcept>

#include "support/loopback_socket.h"

namespace wi::test {
namespace {

// How often blocked loops look at the stop flag.
constexpr int kPollMs = 50;

// The whole request a test sends on a connection of its own to count the connections before it.
constexpr char kSentinel[] = "WI-SENTINEL\r\n\r\n";

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The value of a header in a lower-cased request head; "" when absent.
std::string HeaderValue(const std::string& lowerHead, const std::string& name) {
    const std::string key = "\r\n" + name + ":";
    const std::size_t at = lowerHead.find(key);
    if (at == std::string::npos) return "";
    std::size_t begin = at + key.size();
    while (begin < lowerHead.size() && lowerHead[begin] == ' ') ++begin;
    return lowerHead.substr(begin, lowerHead.find("\r\n", begin) - begin);
}

const char* ReasonPhrase(int status) {
    switch (status) {
        case 200: return "OK";
        case 401: return "Unauthorized";
        case 403: return "Forbidden";
        case 404: return "Not Found";
        case 407: return "Proxy Authentication Required";
        case 500: return "Internal Server Error";
        default: return "Status";
    }
}

}  // namespace

WireReply WireReply::Stall() {
    WireReply reply;
    reply.stall = true;
    return reply;
}

WireReply WireReply::Trickle(std::string bytes, char filler, std::chrono::milliseconds pause) {
    WireReply reply;
    reply.bytes = std::move(bytes);
    reply.filler = filler;
    reply.trickle = pause;
    return reply;
}

WireReply WireReply::Endless(std::string bytes, char filler, std::size_t upTo) {
    WireReply reply;
    reply.bytes = std::move(bytes);
    reply.filler = filler;
    reply.endlessUpTo = upTo;
    return reply;
}

WireReply WireReply::Http(int status, const std::string& body, const std::string& headers,
                          bool withLength) {
    WireReply reply;
    reply.bytes = "HTTP/1.1 " + std::to_string(status) + " " + ReasonPhrase(status) + "\r\n" +
                  headers;
    if (withLength) reply.bytes += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    reply.bytes += "\r\n" + body;
    return reply;
}

WireServer::WireServer(std::vector<WireReply> replies) : replies_(std::move(replies)) {
    if (replies_.empty()) replies_.push_back(WireReply{});
    StartServing([this](int connection, std::size_t) { Serve(connection); });
}

WireServer::~WireServer() { Stop(); }

std::vector<WireRequest> WireServer::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

bool WireServer::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
}

std::size_t WireServer::Connections() const {
    std::unique_lock<std::mutex> lock(mutex_);
    const std::size_t sentinels = sentinels_;
    if (!Stopping()) {
        lock.unlock();
        const int probe = sock::OpenTcp(false);
        const bool sent = probe >= 0 && sock::ConnectLoopback(probe, port()) == 0 &&
                          sock::Send(probe, kSentinel, sizeof kSentinel - 1) ==
                              static_cast<long>(sizeof kSentinel - 1);
        lock.lock();
        const bool taken = sent && changed_.wait_for(lock, std::chrono::seconds(30), [&] {
            return sentinels_ > sentinels || Stopping();
        });
        lock.unlock();
        if (probe >= 0) sock::Close(probe);
        lock.lock();
        if (!taken && !Stopping()) {
            throw std::runtime_error("the wire server did not take the test's own connection");
        }
    }
    return ConnectionsTaken() - sentinels_;
}

void WireServer::Stop() { StopServing(); }

WireReply WireServer::NextReply() {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::size_t index = std::min(nextReply_, replies_.size() - 1);
    ++nextReply_;
    return replies_[index];
}

void WireServer::Serve(int connection) {
    std::string pending;  // bytes received beyond the request being read
    while (!Stopping()) {
        WireRequest request;
        const bool complete = ReadRequest(connection, pending, request);
        if (request.bytes == kSentinel) {
            std::lock_guard<std::mutex> lock(mutex_);
            ++sentinels_;
            changed_.notify_all();
            break;
        }
        if (!request.bytes.empty()) {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(request);
            changed_.notify_all();
        }
        if (!complete) break;
        const WireReply reply = NextReply();
        if (reply.stall) {
            while (!Stopping()) std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
            break;
        }
        if (reply.trickle.count() > 0) {
            Trickle(connection, reply);
            break;
        }
        if (reply.endlessUpTo != 0) {
            SendEndlessly(connection, reply);
            break;
        }
        SendAll(connection, reply.bytes);
        if (reply.close) break;
    }
    sock::Close(connection);
}

void WireServer::Trickle(int connection, const WireReply& reply) {
    const auto step = std::min(reply.trickle, std::chrono::milliseconds(kPollMs));
    for (std::size_t sent = 0; !Stopping(); ++sent) {
        for (auto waited = std::chrono::milliseconds(0); waited < reply.trickle && !Stopping();
             waited += step) {
            std::this_thread::sleep_for(step);
        }
        const char byte = sent < reply.bytes.size() ? reply.bytes[sent] : reply.filler;
        if (sock::Send(connection, &byte, 1) != 1) return;  // the client has gone
        ++bytesSent_;
    }
}

void WireServer::SendEndlessly(int connection, const WireReply& reply) {
    SendAll(connection, reply.bytes);
    const std::string block(65536, reply.filler);
    for (std::size_t sent = reply.bytes.size(); sent < reply.endlessUpTo && !Stopping();) {
        if (sock::PollOne(connection, POLLOUT, kPollMs) <= 0) continue;
        const std::size_t size = std::min(block.size(), reply.endlessUpTo - sent);
        const long n = sock::Send(connection, block.data(), size);
        if (n < 0 && sock::Interrupted()) continue;
        if (n <= 0) return;  // the client has gone
        sent += static_cast<std::size_t>(n);
        bytesSent_ += static_cast<std::size_t>(n);
    }
}

void WireServer::SendAll(int connection, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const long n = sock::Send(connection, bytes.data() + sent, bytes.size() - sent);
        if (n < 0 && sock::Interrupted()) continue;
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
        bytesSent_ += static_cast<std::size_t>(n);
    }
}

// Reads one request (header, then a Content-Length or chunked body) from pending bytes and the
// connection. False when the peer closes or the server stops before the request is complete;
// the request then holds what did arrive.
bool WireServer::ReadRequest(int connection, std::string& pending, WireRequest& request) {
    char buffer[65536];
    std::size_t headEnd = std::string::npos;
    std::size_t total = std::string::npos;  // header and body length, once known
    bool chunked = false;
    while (true) {
        if (headEnd == std::string::npos) {
            const std::size_t blank = pending.find("\r\n\r\n");
            if (blank != std::string::npos) {
                headEnd = blank + 4;
                const std::string lowerHead = Lower(pending.substr(0, headEnd));
                chunked = HeaderValue(lowerHead, "transfer-encoding").find("chunked") !=
                          std::string::npos;
                if (!chunked) {
                    const std::string length = HeaderValue(lowerHead, "content-length");
                    total = headEnd + std::strtoull(length.c_str(), nullptr, 10);
                }
            }
        }
        if (headEnd != std::string::npos && chunked) {
            const std::size_t last = pending.find("0\r\n\r\n", headEnd);
            if (last != std::string::npos &&
                (last == headEnd || pending.compare(last - 2, 2, "\r\n") == 0)) {
                total = last + 5;
            }
        }
        if (total != std::string::npos && pending.size() >= total) break;

        if (Stopping()) break;
        if (sock::PollOne(connection, POLLIN, kPollMs) <= 0) continue;
        const long n = sock::Receive(connection, buffer, sizeof buffer);
        if (n < 0 && sock::Interrupted()) continue;
        if (n <= 0) break;
        request.recvSizes.push_back(static_cast<std::size_t>(n));
        pending.append(buffer, static_cast<std::size_t>(n));
    }
    request.complete = total != std::string::npos && pending.size() >= total;
    const std::size_t taken = request.complete ? total : pending.size();
    request.bytes = pending.substr(0, taken);
    pending.erase(0, taken);
    if (headEnd != std::string::npos && headEnd <= request.bytes.size()) {
        request.head = request.bytes.substr(0, headEnd);
        request.body = request.bytes.substr(headEnd);
    } else {
        request.head = request.bytes;
    }
    return request.complete;
}

}  // namespace wi::test
