// The probe client: address parsing, result codes and the collected answer.
#include <gtest/gtest.h>

#include <string>

#include "support/wire_server.h"
#include "transfer/size_probe_client.h"

namespace wi::transfer {
namespace {

using test::WireReply;
using test::WireServer;

TEST(ProbeAddressTest, SplitsHostPortAndResource) {
    struct Case {
        const char* url;
        const char* host;
        int port;
        const char* resource;
    };
    const Case cases[] = {
        {"http://svc/get?x=1", "svc", 80, "/get?x=1"},
        {"http://svc", "svc", 80, "/"},
        {"http://svc:8080/a/b", "svc", 8080, "/a/b"},
        {"svc:8080", "svc", 8080, "/"},
        {"http://svc:81x/", "svc", 81, "/"},
    };
    for (const Case& c : cases) {
        ProbeTarget target;
        EXPECT_EQ(ParseProbeAddress(c.url, target), kProbeDone) << c.url;
        EXPECT_EQ(target.host, c.host) << c.url;
        EXPECT_EQ(target.port, c.port) << c.url;
        EXPECT_EQ(target.resource, c.resource) << c.url;
    }
}

TEST(ProbeAddressTest, PortThatIsNoPortIsRefused) {
    for (const char* url : {"http://svc:0/get", "http://svc:/get", "http://svc:x/",
                            "http://svc:65536/", "http://svc:-80/"}) {
        ProbeTarget target;
        EXPECT_EQ(ParseProbeAddress(url, target), kProbeBadPort) << url;
    }
}

TEST(ProbeClientTest, FailuresHaveTheirCodes) {
    ProbeClient badPort;
    EXPECT_EQ(badPort.Request("http://127.0.0.1:0/get", false), kProbeBadPort);
    ProbeClient unknownHost;
    EXPECT_EQ(unknownHost.Request("http://no-such-host.invalid/get", false), kProbeHostNotFound);

    int closedPort;
    {
        WireServer closed({});
        closedPort = closed.port();
    }  // nothing listens there any more
    ProbeClient refused;
    const int code = refused.Request("http://127.0.0.1:" + std::to_string(closedPort), false);
    // The socket layer's own error number, which none of the probe's codes can be mistaken for.
    for (int probeCode : {kProbeDone, kProbeHostNotFound, kProbeSendFailed, kProbeBadPort}) {
        EXPECT_NE(code, probeCode);
    }
}

TEST(ProbeClientTest, AnswerIsCappedAt4095Bytes) {
    std::string body;
    for (int i = 0; body.size() < 10000; ++i) body += std::to_string(i) + ",";
    const WireReply reply = WireReply::Http(200, body);
    WireServer server({reply});
    ProbeClient client;
    ASSERT_EQ(client.Request(server.Url("/big"), false), kProbeDone);
    EXPECT_EQ(client.Response(), reply.bytes.substr(0, 4095));
}

TEST(ProbeClientTest, PieceCountsUpToItsFirstZeroByte) {
    WireReply reply;
    reply.bytes = std::string("HTTP/1.1 200 OK\r\n\r\nab\0cd", 24);
    WireServer server({reply});
    ProbeClient client;
    ASSERT_EQ(client.Request(server.Url("/"), true), kProbeDone);
    EXPECT_EQ(client.Response(), "HTTP/1.1 200 OK\r\n\r\nab");
}

TEST(ProbeClientTest, PeerThatKeepsTheConnectionOpenDoesNotHoldTheProbe) {
    // The answer arrives whole, but the peer ignores "Connection: close" and then falls silent.
    WireReply reply = WireReply::Http(200, "http://files/a.exe");
    reply.close = false;
    WireServer server({reply});
    ProbeClient client;
    ASSERT_EQ(client.Request(server.Url("/get"), false), kProbeDone);
    EXPECT_EQ(client.Response(), reply.bytes);
}

}  // namespace
}  // namespace wi::transfer
