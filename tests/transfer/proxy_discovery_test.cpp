// Proxy discovery, and probe requests that go through the proxy it names.
#include "transfer/proxy_discovery.h"

#include <gtest/gtest.h>

#include "platform/proxy.h"
#include "support/wire_server.h"
#include "transfer/probe_request_text.h"
#include "transfer/size_probe_client.h"
#include "webinteractive/transfer.h"

namespace wi::transfer {
namespace {

using test::WireReply;
using test::WireServer;

class ProxyDiscoveryTest : public ::testing::Test {
protected:
    void TearDown() override { platform::SetProxyListForTesting(""); }
};

TEST_F(ProxyDiscoveryTest, NothingConfiguredMeansNoProxy) {
    ProxyInfo proxy;
    EXPECT_FALSE(DiscoverProxy("http://svc/get", proxy));
}

TEST_F(ProxyDiscoveryTest, FirstEntryOfTheListIsUsed) {
    platform::SetProxyListForTesting("p1:81;p2:82");
    ProxyInfo proxy;
    ASSERT_TRUE(DiscoverProxy("http://svc/get", proxy));
    EXPECT_EQ(proxy.host, "p1");
    EXPECT_EQ(proxy.port, 81);
    EXPECT_EQ(proxy.address, "http://p1:81");
}

TEST_F(ProxyDiscoveryTest, PortIsTheLeadingDigitsAfterTheColon) {
    ProxyInfo proxy;
    platform::SetProxyListForTesting("p1:8080x");
    ASSERT_TRUE(DiscoverProxy("http://svc/", proxy));
    EXPECT_EQ(proxy.port, 8080);
    EXPECT_EQ(proxy.address, "http://p1:8080x");

    platform::SetProxyListForTesting("p1:");
    ASSERT_TRUE(DiscoverProxy("http://svc/", proxy));
    EXPECT_EQ(proxy.host, "p1");
    EXPECT_EQ(proxy.port, 0);
}

TEST_F(ProxyDiscoveryTest, EntryWithoutColonMeansNoProxy) {
    platform::SetProxyListForTesting("p1;p2:82");
    ProxyInfo proxy;
    EXPECT_FALSE(DiscoverProxy("http://svc/get", proxy));
}

TEST_F(ProxyDiscoveryTest, ProbeSendsTheAbsoluteAddressToTheProxy) {
    WireServer proxyServer({WireReply::Http(200, "hello")});
    platform::SetProxyListForTesting("127.0.0.1:" + std::to_string(proxyServer.port()) + ";p2:82");
    ProbeClient client;
    // The address's own port has no listener: only the proxy can have answered.
    ASSERT_EQ(client.Request("http://localhost:9/get?x=1", false), kProbeDone);
    EXPECT_NE(client.Response().find("hello"), std::string::npos);

    const auto requests = proxyServer.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].bytes,
              wi::test::ProbeRequestText("GET", "http://localhost:9/get?x=1", "localhost"));
}

TEST_F(ProxyDiscoveryTest, SizeProbeAsksBothQuestionsThroughTheProxy) {
    WireServer proxyServer({WireReply::Http(200, "http://localhost:9/files/f.bin"),
                            WireReply::Http(200, "", "Content-Length: 42\r\n", false)});
    platform::SetProxyListForTesting("127.0.0.1:" + std::to_string(proxyServer.port()));

    EXPECT_EQ(IWebInteractive::GetDownloadSize("http://localhost:9/get", "f.bin"), 42);
    const auto requests = proxyServer.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(
        requests[0].bytes.rfind("GET http://localhost:9/get?filename=f%2ebin HTTP/1.1\r\n", 0), 0u);
    EXPECT_EQ(requests[1].bytes.rfind("HEAD http://localhost:9/files/f.bin HTTP/1.1\r\n", 0), 0u);
}

TEST_F(ProxyDiscoveryTest, UnresolvableProxyEndsTheRequestWithAnEmptyAnswer) {
    WireServer server({WireReply::Http(200, "direct")});
    platform::SetProxyListForTesting("no-such-proxy.invalid:8080");
    ProbeClient client;
    EXPECT_EQ(client.Request(server.Url("/get"), false), kProbeDone);
    EXPECT_EQ(client.Response(), "");
    EXPECT_EQ(server.Connections(), 0u);
}

}  // namespace
}  // namespace wi::transfer
