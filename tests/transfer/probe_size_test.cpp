// GetDownloadSize against in-test servers that play the locator and the file host.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/backlogged_listener.h"
#include "support/wire_server.h"
#include "transfer/probe_request_text.h"
#include "transfer/size_probe.h"
#include "webinteractive/transfer.h"

namespace {

using wi::test::WireReply;
using wi::test::WireServer;

// A HEAD answer with the given header lines.
WireReply HeadAnswer(const std::string& headers) {
    return WireReply::Http(200, "", headers, false);
}

TEST(DownloadSizeTest, SendsTheLocatorGetThenHeadsTheAddressItAnswers) {
    WireServer files({HeadAnswer("Content-Length: 987\r\n")});
    const std::string fileAddress = files.Url("/store/a%20b.exe?v=2");
    WireServer locator({WireReply::Http(200, "see " + fileAddress)});

    EXPECT_EQ(IWebInteractive::GetDownloadSize(locator.Url("/get?x=1").c_str(), "a b.exe"), 987);

    const auto asked = locator.Requests();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].bytes,
              wi::test::ProbeRequestText("GET", "/get?x=1&filename=a%20b%2eexe", "127.0.0.1"));
    const auto headed = files.Requests();
    ASSERT_EQ(headed.size(), 1u);
    EXPECT_EQ(headed[0].bytes,
              wi::test::ProbeRequestText("HEAD", "/store/a%20b.exe?v=2", "127.0.0.1"));
}

TEST(DownloadSizeTest, LocatorWithoutQueryGetsTheFirstParameterMark) {
    WireServer locator({WireReply::Http(200, "")});
    EXPECT_EQ(IWebInteractive::GetDownloadSize(locator.Url("/get").c_str(), "f"), -1);
    const auto asked = locator.Requests();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].head.rfind("GET /get?filename=f HTTP/1.1\r\n", 0), 0u);
}

TEST(DownloadSizeTest, LengthComesFromTheContentLengthHeader) {
    struct Case {
        std::string headers;
        std::int64_t size;
    };
    const Case cases[] = {
        {"content-length: 987\r\n", 987},
        {"CONTENT-LENGTH: 987\r\n", 987},
        {"Server: x\r\nContent-Length: 0\r\n", 0},
        {"Content-Length: 5000000000\r\n", 5000000000LL},  // 2 GiB and more
        {"Content-Length:987\r\n", -1},                    // the blank is required
        {"Server: x\r\n", -1},
        // Only the first 4095 bytes of an answer are read.
        {"X-Pad: " + std::string(5000, 'a') + "\r\nContent-Length: 5\r\n", -1},
    };
    for (const Case& c : cases) {
        WireServer files({HeadAnswer(c.headers)});
        WireServer locator({WireReply::Http(200, files.Url("/f"))});
        EXPECT_EQ(IWebInteractive::GetDownloadSize(locator.Url("/get").c_str(), "f"), c.size)
            << c.headers.substr(0, 40);
    }
}

TEST(DownloadSizeTest, ContentLengthValueIsReadLikeADecimalNumber) {
    using wi::transfer::ReadContentLength;
    EXPECT_EQ(ReadContentLength("HTTP/1.1 200 OK\r\nContent-Length:   42\r\n\r\n"), 42);
    EXPECT_EQ(ReadContentLength("Content-Length: +7;x\r\n"), 7);
    EXPECT_EQ(ReadContentLength("Content-Length: -3\r\n"), -1);  // no size
    EXPECT_EQ(ReadContentLength("Content-Length: none\r\n"), 0);
    EXPECT_EQ(ReadContentLength("Content-Length: 9223372036854775807\r\n"), INT64_MAX);
    EXPECT_EQ(ReadContentLength("Content-Length: 987"), -1);  // no line end
}

TEST(DownloadSizeTest, EmptyFileNameSendsNothing) {
    WireServer locator({WireReply::Http(200, "http://127.0.0.1:9/f")});
    EXPECT_EQ(IWebInteractive::GetDownloadSize(locator.Url("/get").c_str(), ""), -1);
    EXPECT_EQ(IWebInteractive::GetDownloadSize(locator.Url("/get").c_str(), nullptr), -1);
    EXPECT_EQ(locator.Connections(), 0u);
}

TEST(DownloadSizeTest, UnreachableOrUnnamedServicesGiveMinusOne) {
    int closedPort;
    {
        WireServer closed({});
        closedPort = closed.port();
    }
    const std::string refused = "http://127.0.0.1:" + std::to_string(closedPort) + "/get";
    EXPECT_EQ(IWebInteractive::GetDownloadSize(refused.c_str(), "f"), -1);
    EXPECT_EQ(IWebInteractive::GetDownloadSize("http://127.0.0.1:0/get", "f"), -1);
    EXPECT_EQ(IWebInteractive::GetDownloadSize("http://no-such-host.invalid/get", "f"), -1);

    // The locator answers, but the file host it names refuses.
    WireServer locator(
        {WireReply::Http(200, "http://127.0.0.1:" + std::to_string(closedPort) + "/f")});
    EXPECT_EQ(IWebInteractive::GetDownloadSize(locator.Url("/get").c_str(), "f"), -1);
}

// Peers that trickle, cannot be reached, or hand back text meant to steer the probe: every call
// ends, the file host receives exactly the one HEAD meant for it, and only a real Content-Length
// header counts.
TEST(DownloadSizeTest, HostilePeersNeitherHoldNorSteerTheProbe) {
    // Asked at the same time: a locator that trickles its answer and then a zero byte after every
    // pause without end, and one whose connect never completes.
    WireServer trickledFiles({HeadAnswer("Content-Length: 987\r\n")});
    WireServer trickler({WireReply::Trickle("HTTP/1.1 200 OK\r\n\r\n" + trickledFiles.Url("/t"),
                                            '\0', std::chrono::milliseconds(60))});
    auto unreachable = std::make_unique<wi::test::BackloggedListener>();
    auto ask = [](const std::string& url) {
        return std::async(std::launch::async, [url] {
            return IWebInteractive::GetDownloadSize(url.c_str(), "t");
        });
    };
    auto trickled = ask(trickler.Url("/get"));
    auto unconnected = ask(unreachable->Url("/get"));
    // Only a hang guard: once the waits had no end, these calls took hours.
    const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    EXPECT_EQ(trickled.wait_until(guard), std::future_status::ready);
    EXPECT_EQ(unconnected.wait_until(guard), std::future_status::ready);
    trickler.Stop();  // releases calls that are still held
    unreachable.reset();
    EXPECT_EQ(trickled.get(), 987);  // the answer counts as far as it came
    EXPECT_EQ(unconnected.get(), -1);
    const auto located = trickler.Requests();
    ASSERT_EQ(located.size(), 1u);
    EXPECT_EQ(located[0].bytes, wi::test::ProbeRequestText("GET", "/get?filename=t", "127.0.0.1"));
    const auto trickledHeads = trickledFiles.Requests();
    ASSERT_EQ(trickledHeads.size(), 1u);
    EXPECT_EQ(trickledHeads[0].bytes, wi::test::ProbeRequestText("HEAD", "/t", "127.0.0.1"));

    // The file's address ends at the first blank or control character of the locator's answer.
    const std::string tails[] = {"\n", "\r\n", " HTTP/1.1\r\nHost: elsewhere\r\n\r\nGET /admin"};
    for (const std::string& tail : tails) {
        WireServer files({HeadAnswer("Content-Length: 987\r\n")});
        WireServer locator({WireReply::Http(200, files.Url("/f") + tail)});
        EXPECT_EQ(IWebInteractive::GetDownloadSize(locator.Url("/get").c_str(), "f"), 987);
        const auto headed = files.Requests();
        ASSERT_EQ(headed.size(), 1u);
        EXPECT_EQ(headed[0].bytes, wi::test::ProbeRequestText("HEAD", "/f", "127.0.0.1"));
    }

    const std::pair<std::string, std::int64_t> lengths[] = {
        {"X-Original-Content-Length: 42\r\nContent-Length: 987\r\n", 987},
        {"Content-Length: -3\r\n", -1},
        {"Content-Length: 99999999999999999999\r\n", -1},
    };
    for (const auto& [headers, size] : lengths) {
        WireServer files({HeadAnswer(headers)});
        WireServer locator({WireReply::Http(200, files.Url("/f"))});
        EXPECT_EQ(IWebInteractive::GetDownloadSize(locator.Url("/get").c_str(), "f"), size)
            << headers;
    }
}

// The locator has the whole request and never answers: the probe gives up by itself. Only a hang
// guard bounds the wait; a probe still waiting after a minute fails and is released.
TEST(DownloadSizeTest, SilentLocatorGivesMinusOneAfterItsWait) {
    WireServer locator({WireReply::Stall()});
    auto probe = std::async(std::launch::async, [&] {
        return IWebInteractive::GetDownloadSize(locator.Url("/get").c_str(), "f");
    });
    if (probe.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
        ADD_FAILURE() << "the probe of a silent locator did not end";
        locator.Stop();
    }
    EXPECT_EQ(probe.get(), -1);
    EXPECT_EQ(locator.Requests().size(), 1u);
}

}  // namespace
