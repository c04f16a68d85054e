// The software list document as text and as an upload.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

#include "document_checks.h"
#include "support/gbk_locale.h"
#include "support/narrow_literal.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "support/wire_server.h"
#include "webinteractive/documents.h"

namespace {

using ISoftInfoInc::_SoftID;
using wi::test::Tree;
using wi::xml::Document;

using wi::test::Narrow;

const std::string kChinese = Narrow("中文");
const std::string kChineseGb2312 = "\xD6\xD0\xCE\xC4";  // "中文" in GB2312
const std::string kGb2312Declaration = "<?xml version=\"1.0\" encoding=\"gb2312\"?>";

std::set<_SoftID> SampleIds() {
    return {{"{B-2}", kChinese + "\n" + Narrow("软件"), "1.0"}, {"{A-1}\t", "plain", ""}};
}

// What the sample identities give, in set order ({A-1} before {B-2}).
const std::string kSampleTree =
    "softwares{software{BaseInfo{GUID=\"{A-1}\",pn_name=\"plain\",pn_version=\"\"}},"
    "software{BaseInfo{GUID=\"{B-2}\",pn_name=\"" + kChinese + Narrow("软件") +
    "\",pn_version=\"1.0\"}}}";

std::string TreeOfText(const char* text) {
    Document document;
    EXPECT_TRUE(document.ParseText(text)) << text;
    return Tree(document.Root());
}

TEST(SoftList, TextFormHoldsEachIdentityInSetOrder) {
    const std::string text = IWebInteractive::CreateSoftListXml(SampleIds());
    EXPECT_EQ(0u, text.rfind("<?xml version=\"1.0\"?>", 0)) << text;  // no other encoding named
    EXPECT_EQ(kSampleTree, TreeOfText(text.c_str()));

    const std::string empty = IWebInteractive::CreateSoftListXml({});
    EXPECT_EQ(0u, empty.rfind("<?xml version=\"1.0\"?>", 0)) << empty;
    EXPECT_EQ("softwares=\"\"", TreeOfText(empty.c_str()));
}

// Control characters go; a byte that begins no character of the narrow code page (0xFF, a lead
// byte followed by no trail byte or cut off by the end) becomes '?', and the rest of the value
// and of the document stays.
TEST(SoftList, BadBytesAreReplacedWithoutLosingTheDocument) {
    std::string controls;
    for (char c = 1; c < 32; ++c) controls += c;
    const std::set<_SoftID> ids = {{"g\xFF" + controls + "1", "a\xFF\xE4 b", kChinese},
                                   {"h", "\xE4", "2"}};
    EXPECT_EQ("softwares{software{BaseInfo{GUID=\"g?1\",pn_name=\"a?? b\",pn_version=\"" +
                  kChinese + "\"}},software{BaseInfo{GUID=\"h\",pn_name=\"?\",pn_version=\"2\"}}}",
              TreeOfText(IWebInteractive::CreateSoftListXml(ids)));
}

TEST(SoftList, TextFormIsInTheGbkCodePage) {
    wi::test::GbkLocale gbk;
    if (!gbk.Active()) GTEST_SKIP() << gbk.Reason();
    const std::string text = IWebInteractive::CreateSoftListXml({{"g", kChineseGb2312, "1"}});
    EXPECT_EQ(std::string::npos, text.find("encoding")) << text;
    EXPECT_NE(std::string::npos, text.find("<pn_name>" + kChineseGb2312 + "</pn_name>")) << text;
    Document document;
    ASSERT_TRUE(document.ParseText(text));
    EXPECT_EQ(kChineseGb2312, document.Root().FirstChild("software").FirstChild("BaseInfo")
                                  .FirstChild("pn_name").Text());
}

TEST(SoftList, UploadPostsTheGb2312DocumentOnceAndRemovesIt) {
    wi::test::TempMachine machine;
    wi::test::NginxPeer web;
    const std::string url = web.Url("/upload");

    EXPECT_EQ(1, IWebInteractive::UploadSoftList(url.c_str(), SampleIds()));
    EXPECT_EQ(1, IWebInteractive::UploadSoftList(url.c_str(), {}));

    const auto bodies = web.ReceivedBodies();
    ASSERT_EQ(2u, bodies.size());
    EXPECT_EQ(0u, bodies[0].rfind(kGb2312Declaration, 0)) << bodies[0];
    EXPECT_NE(std::string::npos, bodies[0].find(kChineseGb2312)) << bodies[0];
    Document received;
    ASSERT_TRUE(received.ParseBytes(bodies[0]));
    EXPECT_EQ(kSampleTree, Tree(received.Root()));
    ASSERT_TRUE(received.ParseBytes(bodies[1]));
    EXPECT_EQ("softwares=\"\"", Tree(received.Root()));

    // Two requests, each to the address as given.
    const wi::test::SettledLog requests = web.Requests();
    EXPECT_EQ(2, requests.Count("POST /upload 200 ")) << requests.Text();
    EXPECT_EQ(2, requests.Count("POST /upload")) << requests.Text();
    EXPECT_TRUE(wi::test::TempDocuments(machine, "UpSoftTempXml").empty());
}

TEST(SoftList, UnreachableServiceGivesZeroAndRemovesTheFile) {
    wi::test::TempMachine machine;
    std::string closedUrl;
    {
        wi::test::NginxPeer web;
        closedUrl = web.Url("/upload");
    }
    EXPECT_EQ(0, IWebInteractive::UploadSoftList(closedUrl.c_str(), SampleIds()));
    EXPECT_EQ(0, IWebInteractive::UploadSoftList(nullptr, SampleIds()));
    EXPECT_TRUE(wi::test::TempDocuments(machine, "UpSoftTempXml").empty());
}

// A document that cannot be saved ends the upload with the XML library's error, before any
// request.
TEST(SoftList, UnwritableTemporaryFolderRaisesAndPostsNothing) {
    wi::test::TempMachine machine;
    wi::test::WireServer wire({wi::test::WireReply::Http(200, "TRUE")});
    {
        wi::test::BlockedFoldersMachine blocked(machine);
        EXPECT_THROW(IWebInteractive::UploadSoftList(wire.Url("/upload").c_str(), SampleIds()),
                     std::runtime_error);
    }
    EXPECT_TRUE(wire.Requests().empty());
    EXPECT_TRUE(wi::test::TempDocuments(machine, "UpSoftTempXml").empty());
}

}  // namespace
