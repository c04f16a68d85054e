// What one list answer may build is bounded: an answer at a bound is read, one beyond it is
// refused whole, as a document that does not parse.
#include <string>

#include "list_test_support.h"
#include "lists/list_stream.h"
#include "webinteractive/lists.h"

namespace {

std::string Repeated(const std::string& head, const std::string& element, std::size_t count,
                     const std::string& tail) {
    std::string text = head;
    text.reserve(head.size() + element.size() * count + tail.size());
    for (std::size_t i = 0; i < count; ++i) text += element;
    return text + tail;
}

class ListBoundsTest : public wi::test::ListTest {};

TEST_F(ListBoundsTest, AnAnswerBeyondTheVersionOrRecordBoundIsRefusedWhole) {
    using wi::lists::kMaxListRecords;
    using wi::lists::kMaxListVersions;
    const auto patchList = [](std::size_t versions) {
        return Repeated("<softwares><software>", "<Version/>", versions, "</software></softwares>");
    };
    EXPECT_EQ(kMaxListVersions,
              IWebInteractive::ParsePatchsList(patchList(kMaxListVersions).c_str()).size());
    EXPECT_TRUE(IWebInteractive::ParsePatchsList(patchList(kMaxListVersions + 1).c_str()).empty());

    // Equal softwares make one record of the set, but each is read.
    const auto idList = [](std::size_t softwares) {
        return Repeated("<softwares>", "<software/>", softwares, "</softwares>");
    };
    EXPECT_EQ(1u, IWebInteractive::ParseSoftIDList(idList(kMaxListRecords).c_str()).size());
    EXPECT_TRUE(IWebInteractive::ParseSoftIDList(idList(kMaxListRecords + 1).c_str()).empty());

    // A downloaded file list beyond a bound is kept for inspection, and "locked" left alone.
    const std::string url = ServeText(
        "many.xml", Repeated("<softwares><software><BaseInfo><locked>1</locked></BaseInfo>",
                             "<Version/>", kMaxListVersions + 1, "</software></softwares>"));
    int locked = 42;
    EXPECT_TRUE(IWebInteractive::DownloadFileList(url.c_str(), "{G}", "", "", locked, nullptr)
                    .empty());
    EXPECT_EQ(42, locked);
    EXPECT_EQ(1u, TempDocuments("DownFileListTemp").size());
}

}  // namespace
