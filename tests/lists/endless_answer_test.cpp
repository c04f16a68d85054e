// Downloads that feed a reader, against a peer that never stops sending: each stops soon after
// its reader's bound, gives its operation's failure result and leaves no document behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "download_test_support.h"
#include "platform/xml_dom.h"
#include "lists/request.h"
#include "support/wire_server.h"
#include "webinteractive/lists.h"

namespace {

using wi::test::WireReply;
using wi::test::WireServer;

class EndlessAnswerTest : public wi::test::ServiceTest {
protected:
    // Runs the operation against a new endless peer; `failed` tells its failure result.
    void ExpectStopsNearTheBound(const char* operation, std::size_t bound,
                                 const std::function<bool(const std::string&)>& failed) {
        // The peer gives up on a client that never stops well beyond where this one must.
        WireServer peer({WireReply::Endless("HTTP/1.1 200 OK\r\n\r\n", '<',
                                            bound + 2 * wi::test::kUnreadSlack)});
        EXPECT_TRUE(failed(peer.Url("/list"))) << operation;
        peer.Stop();
        std::printf("%s: the peer sent %zu bytes, the bound is %zu\n", operation, peer.BytesSent(),
                    bound);
        EXPECT_GT(peer.BytesSent(), bound) << operation;
        // Beyond the bound, only what the socket buffers of both ends held had been sent.
        EXPECT_LT(peer.BytesSent(), bound + wi::test::kUnreadSlack) << operation;
        const std::string documents = machine_.HostPath("C:\\users\\Public\\Documents");
        EXPECT_TRUE(std::filesystem::is_empty(documents)) << operation;
    }
};

TEST_F(EndlessAnswerTest, EachListDownloadStopsNearItsReadersBoundAndLeavesNothing) {
    ExpectStopsNearTheBound("DownloadSoftList", wi::lists::kMaxRequestText,
                            [](const std::string& url) {
                                return IWebInteractive::DownloadSoftList(url.c_str()).empty();
                            });
    ExpectStopsNearTheBound("DownloadFileList", wi::xml::kMaxFileBytes, [](const std::string& url) {
        int locked = 42;
        const bool empty =
            IWebInteractive::DownloadFileList(url.c_str(), "{G}", "", "", locked, nullptr).empty();
        return empty && locked == 42;
    });
    // A failed download leaves the latest-version record as the call before left it (a call
    // without a GUID asks nothing and shows it).
    ExpectStopsNearTheBound("DownloadCertainFileList", wi::xml::kMaxFileBytes,
                            [](const std::string& url) {
                                const ISoftInfoInc::_SoftInfo before =
                                    IWebInteractive::DownloadCertainFileList(url.c_str(), "", 1);
                                const ISoftInfoInc::_SoftInfo& after =
                                    IWebInteractive::DownloadCertainFileList(url.c_str(), "{G}", 1);
                                return after.GUID == before.GUID &&
                                       after.files.size() == before.files.size() &&
                                       after.patchs.size() == before.patchs.size();
                            });
}

}  // namespace
