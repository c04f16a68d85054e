// Downloads keep their connection to a server between calls, and stay correct when the server
// closes it, when a transfer on it was cut off, and when several threads download at once.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/events.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "support/wire_server.h"
#include "webinteractive/status.h"
#include "webinteractive/transfer.h"

namespace {

using wi::test::WireReply;
using wi::test::WireServer;

class DownloadConnectionTest : public testing::Test {
protected:
    void SetUp() override {
        IHelperInc::SetStatusSink([](const char*, void*) {}, nullptr);
    }
    void TearDown() override { IHelperInc::SetStatusSink(nullptr, nullptr); }
    std::string Read(const std::string& windowsPath) const {
        return wi::test::TempMachine::ReadHostFile(machine_.HostPath(windowsPath));
    }
    static int Download(const std::string& url, const char* path, void* cancel = nullptr) {
        return IWebInteractive::DownloadFile(url.c_str(), path, nullptr, cancel);
    }

    wi::test::TempMachine machine_;
};

WireReply KeptOpen(const std::string& body) {
    WireReply reply = WireReply::Http(200, body);
    reply.close = false;
    return reply;
}

TEST_F(DownloadConnectionTest, SuccessiveDownloadsShareOneConnection) {
    WireServer wire({KeptOpen("first"), KeptOpen("second"), KeptOpen("third")});
    EXPECT_EQ(1, Download(wire.Url("/a"), "C:\\a"));
    EXPECT_EQ(1, Download(wire.Url("/b"), "C:\\b"));
    EXPECT_EQ(1, Download(wire.Url("/c"), "C:\\c"));
    EXPECT_EQ("third", Read("C:\\c"));
    EXPECT_EQ(3u, wire.Requests().size());
    EXPECT_EQ(1u, wire.Connections());
}

// A server that closes after every answer (without saying so) gets a new connection per call.
TEST_F(DownloadConnectionTest, AConnectionTheServerClosedIsNotUsedAgain) {
    WireServer wire({WireReply::Http(200, "one"), WireReply::Http(200, "two")});
    EXPECT_EQ(1, Download(wire.Url("/a"), "C:\\a"));
    EXPECT_EQ(1, Download(wire.Url("/b"), "C:\\b"));
    EXPECT_EQ(1, Download(wire.Url("/b"), "C:\\c"));
    EXPECT_EQ("two", Read("C:\\c"));
    EXPECT_EQ(3u, wire.Requests().size());
    EXPECT_EQ(3u, wire.Connections());
}

// A transfer cancelled mid-body leaves its connection unusable: the next one connects afresh and
// gets its whole answer.
TEST_F(DownloadConnectionTest, ACancelledTransferGivesUpItsConnection) {
    WireReply cut;
    cut.bytes = "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789";
    cut.close = false;
    WireServer wire({cut, KeptOpen("whole")});
    void* cancel = wi::platform::CreateEventObject(true, false);
    std::thread canceller([&] {
        wire.WaitForRequests(1, std::chrono::seconds(20));
        wi::platform::SetEventObject(cancel);
    });
    EXPECT_EQ(0, Download(wire.Url("/cut"), "C:\\cut", cancel));
    canceller.join();
    wi::platform::CloseEventObject(cancel);

    EXPECT_EQ(1, Download(wire.Url("/next"), "C:\\next"));
    EXPECT_EQ("whole", Read("C:\\next"));
    EXPECT_EQ(2u, wire.Connections());
}

// Threads downloading at once from one nginx each get their own files whole.
TEST_F(DownloadConnectionTest, ThreadsDownloadAtOnce) {
    wi::test::NginxPeer web;
    constexpr int kThreads = 4, kEach = 8;
    for (int t = 0; t < kThreads; ++t) {
        web.AddFile("f" + std::to_string(t), std::string(5000 + t, static_cast<char>('a' + t)));
    }
    std::vector<int> stored(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            const std::string path = "C:\\f" + std::to_string(t);
            for (int i = 0; i < kEach; ++i) {
                stored[t] += Download(web.Url("/f" + std::to_string(t)), path.c_str());
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(kEach, stored[t]);
        EXPECT_EQ(std::string(5000 + t, static_cast<char>('a' + t)),
                  Read("C:\\f" + std::to_string(t)));
    }
}

}  // namespace
