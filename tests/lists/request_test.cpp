// RequestText against a real nginx: the body comes back whole and unconverted, the document stays.
#include "lists/request.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "download_test_support.h"
#include "support/peers.h"
#include "webinteractive/transfer.h"

namespace {

using wi::lists::RequestText;
using wi::test::NginxPeer;

class RequestTextTest : public wi::test::ServiceTest {};

TEST_F(RequestTextTest, ReturnsTheWholeBodyAsItCameAndKeepsTheDocument) {
    NginxPeer web;
    std::string body;  // more than two blocks, with bytes of every value
    for (int i = 0; i < 2500; ++i) body += static_cast<char>(i * 37 % 256);
    web.AddFile("answer", body);
    web.AddFile("empty", "");
    const std::string url = web.Url("/answer?patchid=P1");

    std::string text;
    ASSERT_EQ(1, RequestText(url, text, nullptr));
    EXPECT_EQ(body, text);
    std::smatch match;
    ASSERT_TRUE(std::regex_match(lines_.front(), match,
                                 std::regex("request (.*), (C:\\\\users\\\\Public\\\\Documents\\\\"
                                            "RequestTemp[0-9]+\\.xml)")))
        << lines_.front();
    EXPECT_EQ(url, match[1].str());
    EXPECT_EQ(body, Read(match[2].str()));  // the answer stays on disk
    EXPECT_EQ("RequestTemp|1", lines_.back());

    std::string empty;
    EXPECT_EQ(1, RequestText(web.Url("/empty"), empty, nullptr));
    EXPECT_EQ("", empty);
}

TEST_F(RequestTextTest, AFailedDownloadGivesZeroAndAnUnstartableOneRaises) {
    NginxPeer web;
    std::string text = "kept";
    EXPECT_EQ(0, RequestText(web.Url("/missing"), text, nullptr));
    EXPECT_EQ("kept", text);
    ASSERT_EQ(3u, lines_.size());  // the request, the download's start and its end: nothing more
    EXPECT_EQ("RequestTemp|0", lines_.back());

    EXPECT_THROW(RequestText("file:///etc/passwd", text, nullptr), CDownloadError);
    EXPECT_EQ("kept", text);
}

// A body beyond what any reader of answers takes is neither held in memory nor kept on disk: 0,
// and at most the bound appended. One exactly at the bound is read whole.
TEST_F(RequestTextTest, ABodyBeyondTheBoundGivesZero) {
    NginxPeer web;
    const std::string atBound(wi::lists::kMaxRequestText, 'x');
    web.AddFile("at", atBound);
    web.AddFile("beyond", atBound + "y");
    std::string text;
    EXPECT_EQ(1, RequestText(web.Url("/at"), text, nullptr));
    EXPECT_EQ(atBound.size(), text.size());
    text.clear();
    lines_.clear();
    EXPECT_EQ(0, RequestText(web.Url("/beyond"), text, nullptr));
    EXPECT_LE(text.size(), wi::lists::kMaxRequestText);
    const std::string& requestLine = lines_.front();  // "request <address>, <document>"
    EXPECT_FALSE(Exists(requestLine.substr(requestLine.rfind(", ") + 2)));
}

}  // namespace
