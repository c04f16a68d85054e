// webinteractive-service under clients that send slowly, not at all or too much: one address
// cannot take every worker, a request's headers and body are cut off once their time is up,
// however the bytes trickle in, and headers beyond their bound are refused as they arrive.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "service_peer/service_peer.h"

namespace {

using wi::test::ServicePeer;

// A connection to the service from a loopback address of the test's choosing (127.0.0.2 is
// another client than the 127.0.0.1 of curl and the library).
class Client {
public:
    Client(const ServicePeer& service, const char* from) : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        inet_pton(AF_INET, from, &address.sin_addr);
        connected_ = bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        address.sin_port = htons(static_cast<unsigned short>(service.port()));
        inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
        connected_ = connected_ &&
                     connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~Client() { close(socket_); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    bool connected() const { return connected_; }
    void Send(const std::string& bytes) { send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
    // The service has answered or closed: there is something to read (or an error).
    bool Answered(int waitMilliseconds = 0) {
        pollfd watched{socket_, POLLIN, 0};
        return poll(&watched, 1, waitMilliseconds) > 0;
    }
    // What the service sent until it closed the connection (up to the hang guard).
    std::string ReadToEnd() {
        std::string text;
        char piece[4096];
        while (Answered(20000)) {
            const ssize_t got = recv(socket_, piece, sizeof piece, 0);
            if (got <= 0) break;
            text.append(piece, static_cast<std::size_t>(got));
        }
        return text;
    }

private:
    int socket_;
    bool connected_ = false;
};

TEST(SlowClientsTest, TwoHundredSilentUploadsFromOneAddressLeaveOthersServed) {
    ServicePeer service;
    // Each announces a body of a megabyte and sends none of it.
    std::vector<std::unique_ptr<Client>> silent;
    for (int i = 0; i < 200; ++i) {
        silent.push_back(std::make_unique<Client>(service, "127.0.0.2"));
        ASSERT_TRUE(silent.back()->connected()) << "connection " << i;
        silent.back()->Send("POST /upload/log HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                            "Content-Length: 1048576\r\n\r\n");
    }
    const auto start = std::chrono::steady_clock::now();
    const std::string answer = wi::test::RunShell(
        "curl -s -m 20 -w ' %{http_code}' '" + service.Url("/softlist") + "'");
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::steady_clock::now() - start)
                                  .count();
    RecordProperty("answer_milliseconds", static_cast<int>(milliseconds));
    std::printf("a request beside 200 silent uploads was answered in %lld ms\n",
                static_cast<long long>(milliseconds));
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<softwares/>\n 200", answer);

    // 64 of them hold a worker each, waiting for their bodies; the rest were refused at once
    // (their refusals went out before the answer above: connections are taken in turn).
    const auto refusals = [&silent] {
        int count = 0;
        for (const auto& client : silent) count += client->Answered();
        return count;
    };
    // Each refusal is logged after it has gone out.
    const auto logged = [&service] {
        const std::string log = service.Output();
        int count = 0;
        for (auto at = log.find("127.0.0.2 - - ["); at != std::string::npos;
             at = log.find("127.0.0.2 - - [", at + 1)) {
            count += log.compare(log.find(']', at), 14, "] \"-\" 503 39 \"") == 0;
        }
        return count;
    };
    const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while ((refusals() < 136 || logged() < 136) && std::chrono::steady_clock::now() < guard) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(136, refusals());
    EXPECT_EQ(136, logged());
}

TEST(SlowClientsTest, HeadersAndBodiesTricklingInAreCutOffWhenTheirTimeIsUp) {
    ServicePeer service({"--header-timeout", "1", "--body-timeout", "1"});
    // A request line a byte at a time, each well within httplib's wait for a single byte.
    Client headers(service, "127.0.0.1");
    const std::string line = "GET /softlist HTTP/1.1\r\n";
    for (std::size_t i = 0; i < line.size() && !headers.Answered(); ++i) {
        headers.Send(line.substr(i, 1));
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    EXPECT_EQ(0u, headers.ReadToEnd().find("HTTP/1.1 408 Request Timeout\r\n"));
    EXPECT_NE(std::string::npos, service.Output().find("] \"-\" 408 0 \"-\" \"-\" "));

    // A body of 100,000 bytes ten at a time: far slower than the 4096 bytes a second that earn
    // more time.
    const std::string upload =
        "POST /upload/softfile?filename=slow HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: ";
    Client slow(service, "127.0.0.1");
    slow.Send(upload + "100000\r\n\r\n");
    for (int i = 0; i < 100 && !slow.Answered(); ++i) {
        slow.Send("0123456789");
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    EXPECT_EQ(0u, slow.ReadToEnd().find("HTTP/1.1 408 Request Timeout\r\n"));
    EXPECT_EQ(1, service.Count("POST /upload/softfile?filename=slow 408", 1));

    // 40 KiB in five pieces half a second apart: each piece earns two seconds more.
    Client steady(service, "127.0.0.1");
    steady.Send(upload + "40960\r\n\r\n");
    for (int i = 0; i < 5; ++i) {
        steady.Send(std::string(8192, 's'));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    EXPECT_EQ(0u, steady.ReadToEnd().find("HTTP/1.1 200 OK\r\n"));
    EXPECT_EQ((std::vector<std::string>{std::string(40960, 's')}), service.Uploads("softfile"));
}

TEST(SlowClientsTest, HeadersBeyondTheirBoundAreRefusedAsTheyArrive) {
    ServicePeer service;
    // Header lines each within httplib's bound for one line, 80 KB in all.
    Client many(service, "127.0.0.1");
    many.Send("GET /softlist HTTP/1.1\r\nHost: 127.0.0.1\r\n");
    for (int i = 0; i < 20 && !many.Answered(); ++i) {
        many.Send("X-Filler-" + std::to_string(i) + ": " + std::string(4000, 'f') + "\r\n");
    }
    EXPECT_EQ(0u, many.ReadToEnd().find("HTTP/1.1 400 Bad Request\r\n"));
    // A request line of 80 KB.
    Client longLine(service, "127.0.0.1");
    longLine.Send("GET /" + std::string(80000, 'l'));
    EXPECT_EQ(0u, longLine.ReadToEnd().find("HTTP/1.1 431 Request Header Fields Too Large\r\n"));
    EXPECT_EQ(1, service.Count("GET /softlist 400", 1));
}

}  // namespace
