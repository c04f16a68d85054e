// DownloadFile against a real nginx (and the wire server where a transfer must stall or break).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "inc/narrow_text.h"
#include "platform/events.h"
#include "platform/http.h"
#include "support/peers.h"
#include "support/backlogged_listener.h"
#include "support/temp_machine.h"
#include "support/wire_server.h"
#include "transfer/download.h"
#include "webinteractive/host.h"
#include "webinteractive/status.h"
#include "webinteractive/transfer.h"

namespace {

using wi::inc::NarrowFromUtf8;
using wi::test::NginxPeer;
using wi::test::WireReply;
using wi::test::WireServer;

std::string Bytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 7919) >> 3);
    }
    return bytes;
}

class DownloadFileTest : public testing::Test {
protected:
    void SetUp() override { IHelperInc::SetStatusSink(&DownloadFileTest::Collect, this); }
    void TearDown() override {
        IHelperInc::SetStatusSink(nullptr, nullptr);
        wi::platform::SetTrustedCaFile("");
        wi::platform::SetDownloadStallLimitForTesting(0);
    }
    static void Collect(const char* line, void* context) {
        auto* test = static_cast<DownloadFileTest*>(context);
        test->lines_.push_back(line);
        if (test->onLine_) test->onLine_();
    }
    bool Exists(const std::string& windowsPath) const {
        return std::filesystem::exists(machine_.HostPath(windowsPath));
    }
    std::string Read(const std::string& windowsPath) const {
        return wi::test::TempMachine::ReadHostFile(machine_.HostPath(windowsPath));
    }
    // Lines between the start line and the end line.
    std::vector<std::string> ProgressLines() const {
        if (lines_.size() < 2) return {};
        return {lines_.begin() + 1, lines_.end() - 1};
    }

    // Downloads on a thread. Only a hang guard: a call still running after a minute is failed
    // and then released by the given action (which stops its peer).
    template <typename Release>
    int DownloadGuarded(const std::string& url, const std::string& path, Release release,
                        const char* name = nullptr, void* cancel = nullptr) {
        auto download = std::async(std::launch::async, [&] {
            return IWebInteractive::DownloadFile(url.c_str(), path.c_str(), name, cancel);
        });
        if (download.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
            ADD_FAILURE() << "the download of " << url << " did not end";
            release();
        }
        return download.get();
    }

    wi::test::TempMachine machine_;
    std::vector<std::string> lines_;
    std::function<void()> onLine_;  // called on the download's thread after each line
};

TEST_F(DownloadFileTest, StoresTheFileWithStartAndEndLines) {
    NginxPeer web;
    const std::string content = Bytes(300000);
    web.AddFile("dir/a.exe", content);
    const std::string url = web.Url("/dir/a.exe");

    ASSERT_EQ(1, IWebInteractive::DownloadFile(url.c_str(), "C:\\a.exe", "Setup", nullptr));
    EXPECT_EQ(content, Read("C:\\a.exe"));
    ASSERT_GE(lines_.size(), 2u);
    EXPECT_EQ(NarrowFromUtf8("开始下载文件 Setup 从 ") + url + "...", lines_.front());
    EXPECT_EQ("Setup|1", lines_.back());
    for (const auto& line : ProgressLines()) {
        EXPECT_TRUE(std::regex_match(line, std::regex(R"( Setup\|\d+\|\d+\|300000)"))) << line;
    }
}

TEST_F(DownloadFileTest, NamesTheFileAfterThePathWithoutDisplayName) {
    NginxPeer web;
    web.AddFile("b.txt", "");
    const std::string url = web.Url("/redirect/b.txt");  // answered by a redirect to /b.txt

    ASSERT_EQ(1, IWebInteractive::DownloadFile(url.c_str(), "D:\\b.exe", nullptr, nullptr));
    EXPECT_TRUE(Exists("D:\\b.exe"));  // an empty body still makes the file
    EXPECT_EQ("", Read("D:\\b.exe"));
    EXPECT_EQ(NarrowFromUtf8("开始下载文件 b.exe 从 ") + url + "...", lines_.front());
    EXPECT_EQ("b.exe|1", lines_.back());
    const wi::test::SettledLog requests = web.Requests();
    EXPECT_EQ(1, requests.Count("GET /redirect/b.txt 302"));
    EXPECT_EQ(1, requests.Count("GET /b.txt 200"));
    EXPECT_EQ(200, IHostInc::GetLastDownloadStatus());  // the answer after the redirect
}

TEST_F(DownloadFileTest, AnErrorPageIsNotTheFile) {
    NginxPeer web;
    const std::string url = web.Url("/missing.exe");
    wi::test::TempMachine::WriteHostFile(machine_.HostPath("C:\\old.exe"), "old");

    EXPECT_EQ(0, IWebInteractive::DownloadFile(url.c_str(), "C:\\old.exe", nullptr, nullptr));
    EXPECT_EQ("old", Read("C:\\old.exe"));
    EXPECT_EQ(404, IHostInc::GetLastDownloadStatus());
    EXPECT_EQ(0, IWebInteractive::DownloadFile(url.c_str(), "C:\\new.exe", nullptr, nullptr));
    EXPECT_FALSE(Exists("C:\\new.exe"));
    EXPECT_EQ("new.exe|0", lines_.back());
}

TEST_F(DownloadFileTest, APathThatCannotBeWrittenIsAFailure) {
    NginxPeer web;
    web.AddFile("f.bin", "bytes");
    const std::string url = web.Url("/f.bin");

    EXPECT_EQ(0, IWebInteractive::DownloadFile(url.c_str(), "C:\\no\\such\\f.bin", nullptr,
                                               nullptr));
    EXPECT_EQ("f.bin|0", lines_.back());
    EXPECT_EQ(0, IWebInteractive::DownloadFile(url.c_str(), "Q:\\f.bin", nullptr, nullptr));
}

TEST_F(DownloadFileTest, TlsNeedsACertificateThatVerifies) {
    NginxPeer web(/*tls=*/true);
    web.AddFile("s.bin", "secret bytes");
    const std::string url = web.Url("/s.bin");

    wi::platform::SetTrustedCaFile(web.CaFile());
    EXPECT_EQ(1, IWebInteractive::DownloadFile(url.c_str(), "C:\\s.bin", nullptr, nullptr));
    EXPECT_EQ("secret bytes", Read("C:\\s.bin"));

    const std::string otherCa = wi::test::MakeTempDirectory("wi-other-ca");
    const wi::test::TestCertificates other(otherCa);
    wi::platform::SetTrustedCaFile(other.CaFile());
    EXPECT_EQ(0, IWebInteractive::DownloadFile(url.c_str(), "C:\\t.bin", nullptr, nullptr));
    EXPECT_FALSE(Exists("C:\\t.bin"));
    EXPECT_EQ("t.bin|0", lines_.back());
    wi::test::RemoveHostTree(otherCa);
}

// A body cut short is no file: the old file stays whole and nothing partial is left beside it.
TEST_F(DownloadFileTest, ABodyCutShortIsAFailureAndKeepsTheOldFile) {
    WireServer wire({WireReply::Http(200, "only ten b", "Content-Length: 5000\r\n", false)});
    const std::string url = wire.Url("/cut.bin");
    wi::test::TempMachine::WriteHostFile(machine_.HostPath("D:\\cut.bin"), "the old content");

    EXPECT_EQ(0, IWebInteractive::DownloadFile(url.c_str(), "D:\\cut.bin", nullptr, nullptr));
    EXPECT_EQ("cut.bin|0", lines_.back());
    EXPECT_EQ("the old content", Read("D:\\cut.bin"));
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(machine_.HostPath("D:\\")),
                               std::filesystem::directory_iterator()));
}

// A bounded download takes a body up to its bound; a larger one fails at once when its length
// is announced, or soon after the bound when it is not, keeping the old file and nothing beside.
TEST_F(DownloadFileTest, ABoundedDownloadStopsAtItsBound) {
    NginxPeer web;
    web.AddFile("k.bin", Bytes(1000));
    const std::string url = web.Url("/k.bin");
    EXPECT_EQ(1, wi::transfer::DownloadBounded(url.c_str(), "D:\\at.bin", nullptr, nullptr, 1000));
    EXPECT_EQ(Bytes(1000), Read("D:\\at.bin"));
    wi::test::TempMachine::WriteHostFile(machine_.HostPath("D:\\at.bin"), "old");
    EXPECT_EQ(0, wi::transfer::DownloadBounded(url.c_str(), "D:\\at.bin", nullptr, nullptr, 999));
    EXPECT_EQ("old", Read("D:\\at.bin"));
    // The next download of the thread is bound by nothing of the one before.
    EXPECT_EQ(1, IWebInteractive::DownloadFile(url.c_str(), "D:\\at.bin", nullptr, nullptr));
    EXPECT_EQ(Bytes(1000), Read("D:\\at.bin"));

    constexpr std::size_t kBound = 4u << 20;
    constexpr std::size_t kGuard = kBound + 2 * wi::test::kUnreadSlack;
    WireServer announced({WireReply::Endless(
        "HTTP/1.1 200 OK\r\nContent-Length: 1000000000000\r\n\r\n", 'x', kGuard)});
    EXPECT_EQ(0, wi::transfer::DownloadBounded(announced.Url("/a").c_str(), "D:\\a.bin", nullptr,
                                               nullptr, kBound));
    WireServer endless({WireReply::Endless("HTTP/1.1 200 OK\r\n\r\n", 'x', kGuard)});
    EXPECT_EQ(0, wi::transfer::DownloadBounded(endless.Url("/e").c_str(), "D:\\e.bin", nullptr,
                                               nullptr, kBound));
    EXPECT_EQ("e.bin|0", lines_.back());
    endless.Stop();
    EXPECT_GT(endless.BytesSent(), kBound);
    // Beyond the bound, only what the socket buffers of both ends held had been sent.
    EXPECT_LT(endless.BytesSent(), kBound + wi::test::kUnreadSlack);
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(machine_.HostPath("D:\\")),
                               std::filesystem::directory_iterator()));
}

TEST_F(DownloadFileTest, UnreachableServerGivesZeroWithoutError) {
    WireServer wire({WireReply::Http(200, "")});
    const std::string url = wire.Url("/x.bin");
    wire.Stop();  // nothing listens on the port any more
    NginxPeer web;
    web.AddFile("y.bin", "y");
    ASSERT_EQ(1, IWebInteractive::DownloadFile(web.Url("/y.bin").c_str(), "C:\\y.bin", nullptr,
                                               nullptr));
    lines_.clear();

    EXPECT_EQ(0, IWebInteractive::DownloadFile(url.c_str(), "C:\\x.bin", nullptr, nullptr));
    EXPECT_EQ(2u, lines_.size());
    EXPECT_EQ(0, IHostInc::GetLastDownloadStatus());
}

TEST_F(DownloadFileTest, AnAddressThatCannotStartRaisesTheComponentError) {
    try {
        IWebInteractive::DownloadFile("ftp://127.0.0.1/x", "C:\\x.bin", nullptr, nullptr);
        FAIL() << "no error raised";
    } catch (const CDownloadError& error) {
        EXPECT_EQ(wi::platform::kDownloadBadAddress, error.code());
    }
    EXPECT_EQ(1u, lines_.size());  // the start line, no end line
}

// A transfer that stalls mid-body reports its progress once a second and ends through the event.
TEST_F(DownloadFileTest, CancelEventEndsAStalledTransfer) {
    WireReply stalled;
    stalled.bytes = "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n0123456789";
    stalled.close = false;  // keeps the connection open, sending nothing more
    WireServer wire({stalled});
    const std::string url = wire.Url("/stall.bin");
    void* cancel = wi::platform::CreateEventObject(true, false);
    // Cancelled once the first progress line (after the start line) has come.
    onLine_ = [this, cancel] {
        if (lines_.size() == 2) wi::platform::SetEventObject(cancel);
    };

    EXPECT_EQ(0, DownloadGuarded(url, "D:\\stall.bin", [&] { wire.Stop(); }, "S", cancel));
    wi::platform::CloseEventObject(cancel);

    EXPECT_EQ("S|0", lines_.back());
    EXPECT_FALSE(Exists("D:\\stall.bin"));  // nothing partial is left
    const auto progress = ProgressLines();
    ASSERT_FALSE(progress.empty());
    for (const auto& line : progress) {
        EXPECT_TRUE(std::regex_match(line, std::regex(R"( S\|\d+\|10\|100000)"))) << line;
    }
}

// Without a cancel event, a server that stops sending mid-body or a connect that never completes
// ends the download as failed once the stall limit (shortened here) has passed; the old file
// stays.
TEST_F(DownloadFileTest, AStalledServerEndsTheDownloadAndKeepsTheOldFile) {
    wi::platform::SetDownloadStallLimitForTesting(2);
    WireReply stalled;
    stalled.bytes = "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n0123456789";
    stalled.close = false;  // keeps the connection open, sending nothing more
    auto wire = std::make_unique<WireServer>(std::vector<WireReply>{stalled});
    auto unconnectable = std::make_unique<wi::test::BackloggedListener>();
    const auto release = [&] {
        wire.reset();
        unconnectable.reset();
    };
    wi::test::TempMachine::WriteHostFile(machine_.HostPath("D:\\stall.bin"), "old");

    for (const std::string& url : {wire->Url("/stall.bin"), unconnectable->Url("/stall.bin")}) {
        EXPECT_EQ(0, DownloadGuarded(url, "D:\\stall.bin", release)) << url;
        EXPECT_EQ("stall.bin|0", lines_.back());
        EXPECT_EQ("old", Read("D:\\stall.bin"));
    }
    // The stalled body was reported while it waited, once a second.
    EXPECT_TRUE(std::any_of(lines_.begin(), lines_.end(), [](const std::string& line) {
        return std::regex_match(line, std::regex(R"( stall\.bin\|\d+\|10\|100000)"));
    }));
}

// A redirect to another protocol is refused: nothing connects to the address it names. Locations
// without a scheme are read against the address they answer.
TEST_F(DownloadFileTest, RedirectsLeadOnlyToHttpOrHttps) {
    WireServer ftp({WireReply::Stall()});
    const std::string ftpUrl = "ftp://127.0.0.1:" + std::to_string(ftp.port()) + "/x.bin";
    WireServer web({WireReply::Http(302, "", "Location: " + ftpUrl + "\r\n")});

    EXPECT_EQ(0, DownloadGuarded(web.Url("/x.bin"), "C:\\x.bin", [&] { ftp.Stop(); }));
    EXPECT_EQ("x.bin|0", lines_.back());
    EXPECT_EQ(1u, web.Requests().size());
    EXPECT_EQ(0u, ftp.Connections());

    WireServer relative({WireReply::Http(302, "", "Location: next.bin\r\n"),
                         WireReply::Http(301, "", "Location: /top/last.bin?q=1\r\n"),
                         WireReply::Http(200, "moved bytes")});
    EXPECT_EQ(1, DownloadGuarded(relative.Url("/dir/first.bin"), "D:\\moved.bin",
                                 [&] { relative.Stop(); }));
    EXPECT_EQ("moved bytes", Read("D:\\moved.bin"));
    std::vector<std::string> requestLines;
    for (const auto& request : relative.Requests()) {
        requestLines.push_back(request.head.substr(0, request.head.find("\r\n")));
    }
    EXPECT_EQ((std::vector<std::string>{"GET /dir/first.bin HTTP/1.1", "GET /dir/next.bin HTTP/1.1",
                                        "GET /top/last.bin?q=1 HTTP/1.1"}),
              requestLines);
}

TEST_F(DownloadFileTest, AnAlreadySignalledEventCancelsAtOnce) {
    WireServer wire({WireReply::Stall()});
    const std::string url = wire.Url("/never.bin");
    void* cancel = wi::platform::CreateEventObject(true, true);

    EXPECT_EQ(0, IWebInteractive::DownloadFile(url.c_str(), "C:\\never.bin", nullptr, cancel));
    wi::platform::CloseEventObject(cancel);
    EXPECT_EQ(2u, lines_.size());
    EXPECT_EQ("never.bin|0", lines_.back());
}

}  // namespace
