// GetDownloadSize against real servers: nginx as locator and file host, tinyproxy as the proxy.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/proxy.h"
#include "support/peers.h"
#include "webinteractive/transfer.h"

namespace {

using wi::test::NginxPeer;
using wi::test::TinyproxyPeer;

// nginx serving a locator file ("/locate", whose content is a file's address) and the files.
class ProbePeersTest : public ::testing::Test {
protected:
    void TearDown() override { wi::platform::SetProxyListForTesting(""); }

    // Points the locator at the file and returns the locator's address.
    std::string Locate(const std::string& filePath) {
        web_.AddFile("locate", web_.Url(filePath));
        return web_.Url("/locate");
    }

    NginxPeer web_;
};

TEST_F(ProbePeersTest, SizeOfAServedFile) {
    web_.AddFile("files/setup.exe", std::string(123457, 'x'));
    EXPECT_EQ(IWebInteractive::GetDownloadSize(Locate("/files/setup.exe").c_str(), "setup.exe"),
              123457);
}

TEST_F(ProbePeersTest, SizeOfAFileBeyondFourGigabytes) {
    web_.AddFile("files/huge.iso", "");
    std::filesystem::resize_file(web_.Root() + "/files/huge.iso", 5000000000ULL);  // sparse
    EXPECT_EQ(IWebInteractive::GetDownloadSize(Locate("/files/huge.iso").c_str(), "huge.iso"),
              5000000000LL);
}

TEST_F(ProbePeersTest, MissingFileHasNoSize) {
    // nginx's 404 page carries a Content-Length of its own; the locator names no file at all.
    web_.AddFile("locate", "no such file");
    EXPECT_EQ(IWebInteractive::GetDownloadSize(web_.Url("/locate").c_str(), "gone.exe"), -1);
}

TEST_F(ProbePeersTest, SizeThroughTheDiscoveredProxy) {
    TinyproxyPeer proxy;
    wi::platform::SetProxyListForTesting("127.0.0.1:" + std::to_string(proxy.port()));
    web_.AddFile("files/patch.bin", std::string(4321, 'p'));
    EXPECT_EQ(IWebInteractive::GetDownloadSize(Locate("/files/patch.bin").c_str(), "patch.bin"),
              4321);
    // Both questions went through the proxy.
    const wi::test::SettledLog requests = proxy.Requests();
    EXPECT_EQ(1, requests.CountContaining("/locate?filename=patch%2ebin")) << proxy.Log();
    EXPECT_EQ(1, requests.CountContaining("/files/patch.bin")) << proxy.Log();
}

}  // namespace
