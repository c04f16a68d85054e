// The software ID list: ParseSoftIDList on text, DownloadSoftList from a real nginx serving the
// list in GB2312, and lists that must come back empty without harm.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "download_test_support.h"
#include "inc/narrow_text.h"
#include "platform/codepage.h"
#include "support/gbk_locale.h"
#include "support/peers.h"
#include "webinteractive/lists.h"

namespace {

using ISoftInfoInc::_SoftID;
using wi::test::NginxPeer;
using wi::test::ReadServiceFixture;

class SoftIDListTest : public wi::test::ServiceTest {};

// Each record as "GUID|pn_name|pn_version", in the set's order.
std::vector<std::string> Rows(const std::set<_SoftID>& ids) {
    std::vector<std::string> rows;
    for (const _SoftID& id : ids) rows.push_back(id.GUID + "|" + id.pn_name + "|" + id.pn_version);
    return rows;
}

// What the GB2312 fixture holds, its names in the narrow code page: the duplicate, the
// lower-case "baseinfo", the "item" and the second "BaseInfo" and "GUID" leave no trace; the
// software without "BaseInfo" is an empty record; nested markup is joined; pn_version stays empty.
std::vector<std::string> ExpectedFixtureRows() {
    const auto narrow = [](const char* utf8) { return wi::inc::NarrowFromUtf8(utf8); };
    return {"||", "{8D2A1C40-0001}|" + narrow("金山词霸") + "|",
            "{8D2A1C40-0002}|" + narrow("暴风影音") + "|",
            "{8D2A1C40-0006}|" + narrow("千千静听") + "|"};
}

TEST_F(SoftIDListTest, ParsesTextInTheNarrowCodePage) {
    wi::test::GbkLocale gbk;
    if (!gbk.Active()) GTEST_SKIP() << gbk.Reason();
    // GB2312 bytes are text of the GBK code page as they stand.
    const std::string text = ReadServiceFixture("softid_list_gb2312.xml");
    EXPECT_EQ(ExpectedFixtureRows(), Rows(IWebInteractive::ParseSoftIDList(text.c_str())));
}

TEST_F(SoftIDListTest, EachCallStartsFromAnEmptySet) {
    const auto& ids = IWebInteractive::ParseSoftIDList(
        "<softwares><software><BaseInfo><GUID>g</GUID><pn_name>n</pn_name></BaseInfo>"
        "</software></softwares>");
    ASSERT_EQ(1u, ids.size());
    for (const char* name : {"softid_wrong_root.xml", "softid_truncated.xml"}) {
        IWebInteractive::ParseSoftIDList("<softwares><software/></softwares>");
        ASSERT_EQ(1u, ids.size());
        EXPECT_TRUE(IWebInteractive::ParseSoftIDList(ReadServiceFixture(name).c_str()).empty())
            << name;
        EXPECT_TRUE(ids.empty()) << name;  // the earlier reference shows the empty set
    }
    EXPECT_TRUE(IWebInteractive::ParseSoftIDList(nullptr).empty());
    // GB2312 bytes are no UTF-8 text: where the narrow code page is UTF-8 the text does not parse
    // (in a GBK code page it does: ParsesTextInTheNarrowCodePage).
    if (wi::platform::NarrowCodeset() == "UTF-8") {
        EXPECT_TRUE(
            IWebInteractive::ParseSoftIDList(ReadServiceFixture("softid_list_gb2312.xml").c_str())
                .empty());
    }
}

// A GB2312 answer reaches a UTF-8 host with its Chinese names, and a GBK host with them in GBK.
TEST_F(SoftIDListTest, DownloadsTheListInOneRequest) {
    NginxPeer web;
    web.AddFile("list", ReadServiceFixture("softid_list_gb2312.xml"));
    const std::string url = web.Url("/list?kind=all");

    EXPECT_EQ(ExpectedFixtureRows(), Rows(IWebInteractive::DownloadSoftList(url.c_str())));
    std::size_t calls = 1;
    {
        wi::test::GbkLocale gbk;
        if (gbk.Active()) {
            EXPECT_EQ(ExpectedFixtureRows(), Rows(IWebInteractive::DownloadSoftList(url.c_str())));
            ++calls;
        }
    }
    EXPECT_EQ(std::vector<std::string>(calls, "GET /list?kind=all 200"), web.RequestLines());
}

// Hostile answers and failed requests give the empty set: no entity is expanded or fetched, no
// error escapes, and the set of an earlier call is gone.
TEST_F(SoftIDListTest, BadAnswersAndFailedRequestsGiveTheEmptySet) {
    NginxPeer web;
    web.AddFile("good", ReadServiceFixture("softid_list_gb2312.xml"));
    const auto& ids = IWebInteractive::DownloadSoftList(web.Url("/good").c_str());
    for (const char* name :
         {"softid_external_entity.xml", "softid_entity_expansion.xml", "softid_deep_nesting.xml",
          "softid_wrong_root.xml", "softid_truncated.xml"}) {
        web.AddFile(name, ReadServiceFixture(name));
        IWebInteractive::DownloadSoftList(web.Url("/good").c_str());
        ASSERT_EQ(4u, ids.size());
        EXPECT_TRUE(
            IWebInteractive::DownloadSoftList(web.Url(std::string("/") + name).c_str()).empty())
            << name;
    }
    IWebInteractive::DownloadSoftList(web.Url("/good").c_str());
    EXPECT_TRUE(IWebInteractive::DownloadSoftList(web.Url("/missing").c_str()).empty());
    IWebInteractive::DownloadSoftList(web.Url("/good").c_str());
    // An address the download cannot even start raises inside; the operation catches it.
    EXPECT_TRUE(IWebInteractive::DownloadSoftList("file:///etc/passwd").empty());
    EXPECT_TRUE(IWebInteractive::DownloadSoftList(nullptr).empty());
}

}  // namespace
