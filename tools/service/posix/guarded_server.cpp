#include "posix/guarded_server.h"

#include <sys/socket.h>
#include <unistd.h>

#include <ctime>

#include "posix/connection_stream.h"

namespace wi::service {

namespace {

// Each worker handles one connection at a time: the stream of the connection this thread is on.
thread_local ConnectionStream* currentStream = nullptr;

std::string BareAnswer(int status, const char* reason, const std::string& text) {
    return "HTTP/1.1 " + std::to_string(status) + " " + reason +
           "\r\nConnection: close\r\nContent-Type: text/plain\r\nContent-Length: " +
           std::to_string(text.size()) + "\r\n\r\n" + text;
}

}  // namespace

GuardedServer::GuardedServer(const ClientLimits& limits, RequestLogger logger)
    : limits_(limits), requestLogger_(std::move(logger)) {
    set_logger([this](const httplib::Request& req, const httplib::Response& res) {
        Exchange exchange;
        if (const ConnectionStream* stream = currentStream) {
            exchange.peer = stream->PeerAddress();
            exchange.bodyBytes = stream->BodyBytesSent();
            exchange.duration = std::chrono::steady_clock::now() - stream->RequestStart();
        }
        requestLogger_(req, res, exchange);
    });
}

bool GuardedServer::BodyTimedOut() { return currentStream && currentStream->TimedOut(); }

bool GuardedServer::Admit(const std::string& address) {
    if (limits_.connectionsPerAddress == 0) return true;
    std::lock_guard<std::mutex> lock(addressesMutex_);
    std::size_t& open = connectionsByAddress_[address];
    if (open >= limits_.connectionsPerAddress) return false;
    ++open;
    return true;
}

void GuardedServer::Leave(const std::string& address) {
    if (limits_.connectionsPerAddress == 0) return;
    std::lock_guard<std::mutex> lock(addressesMutex_);
    const auto found = connectionsByAddress_.find(address);
    if (found != connectionsByAddress_.end() && --found->second == 0) {
        connectionsByAddress_.erase(found);
    }
}

void GuardedServer::LogBare(const std::string& peer, int status, unsigned long long bodyBytes,
                            std::chrono::steady_clock::time_point start) {
    httplib::Request req;
    httplib::Response res;
    res.status = status;
    requestLogger_(req, res, {peer, bodyBytes, std::chrono::steady_clock::now() - start});
}

bool GuardedServer::process_and_close_socket(socket_t sock) {
    ConnectionStream::Waits waits;
    waits.limits = limits_;
    waits.keepAlive = std::chrono::seconds(keep_alive_timeout_sec_);
    waits.eachRead = std::chrono::seconds(read_timeout_sec_) +
                     std::chrono::milliseconds(read_timeout_usec_ / 1000);
    waits.eachWrite = std::chrono::seconds(write_timeout_sec_) +
                      std::chrono::milliseconds(write_timeout_usec_ / 1000);
    ConnectionStream stream(sock, waits, svr_sock_);
    const std::string address = stream.PeerAddress();
    bool ok = false;
    if (!Admit(address)) {
        const auto start = std::chrono::steady_clock::now();
        const std::string text = "too many connections from this address\n";
        stream.WriteDirect(BareAnswer(503, "Service Unavailable", text));
        stream.FinishAndDiscard();
        LogBare(address, 503, stream.BodyBytesSent(), start);
    } else {
        currentStream = &stream;
        // As httplib's own loop: one request after another on the connection, up to the kept
        // count, while the server runs.
        for (std::size_t left = keep_alive_max_count_; left > 0 && stream.WaitForRequest();
             --left) {
            bool closed = false;
            ok = process_request(stream, left == 1, closed,
                                 [&stream](httplib::Request&) { stream.StartBody(); });
            const bool cutOff = stream.TimedOut() || stream.HeadersTooLarge();
            if (cutOff) {
                // Cut off before its request line came whole, httplib left it unanswered.
                if (!stream.Answered()) {
                    const bool late = stream.TimedOut();
                    stream.WriteDirect(late ? BareAnswer(408, "Request Timeout", "")
                                            : BareAnswer(431, "Request Header Fields Too Large", ""));
                    LogBare(address, late ? 408 : 431, 0, stream.RequestStart());
                }
                stream.FinishAndDiscard();
            }
            if (!ok || closed || cutOff) break;
        }
        currentStream = nullptr;
        Leave(address);
    }
    shutdown(sock, SHUT_RDWR);
    close(sock);
    return ok;
}

}  // namespace wi::service
