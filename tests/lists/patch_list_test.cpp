// ParsePatchsList on patch list texts, and the list it shares with DownloadFileList.
#include "inc/narrow_text.h"
#include "list_test_support.h"
#include "support/gbk_locale.h"
#include "webinteractive/lists.h"

namespace {

using ISoftInfoInc::_SoftInfo;
using wi::inc::NarrowFromUtf8;
using wi::test::Fixture;

class PatchListTest : public wi::test::ListTest {};

TEST_F(PatchListTest, ReadsTheVersionsAndPatchesOfEveryChild) {
    // GB2312 bytes: on a UTF-8 host decoded by their declaration, in code page 936 read as they
    // stand; the names arrive in the narrow code page either way.
    const std::list<_SoftInfo>& softs =
        IWebInteractive::ParsePatchsList(Fixture("patch_list_gb2312.xml").c_str());
    ASSERT_EQ(3u, softs.size());

    const _SoftInfo& soft = softs.front();
    EXPECT_EQ("{BASE}", soft.GUID);  // from "BaseInfo": "VersionInfo" has none
    EXPECT_EQ(NarrowFromUtf8("补丁软件"), soft.Name);
    EXPECT_EQ(NarrowFromUtf8("厂商"), soft.Vendor);
    EXPECT_EQ(2, soft.Type);
    EXPECT_EQ("3.0", soft.Version);
    EXPECT_EQ(5000000000LL, soft.Size);
    EXPECT_EQ("", soft.OSCode);      // not read here
    EXPECT_TRUE(soft.files.empty());  // nor are the files
    ASSERT_EQ(2u, soft.patchs.size());
    const _PatchInfo& first = soft.patchs.front();
    EXPECT_EQ("K1", first.PatchID);
    EXPECT_EQ(NarrowFromUtf8("安全补丁"), first.PNID);
    EXPECT_TRUE(first.Enforces);
    ASSERT_EQ(2u, first.dependences.size());
    EXPECT_EQ(NarrowFromUtf8("先装"), first.dependences.front().Descrip);
    EXPECT_EQ("K00", first.dependences.back().PatchID);
    const _PatchInfo& second = soft.patchs.back();  // "Patch", without "version"
    EXPECT_EQ("", second.PatchID);
    EXPECT_EQ(NarrowFromUtf8("只有说明"), second.Content);
    EXPECT_FALSE(second.Enforces);
    EXPECT_TRUE(second.dependences.empty());

    // A child of another name is a software too; a version without "VersionInfo" has no values
    // but its patches; a child without "Version" gives nothing.
    const _SoftInfo& item = *std::next(softs.begin());
    EXPECT_EQ("{ITEM}", item.GUID);
    EXPECT_EQ("", item.Name);
    const _SoftInfo& bare = softs.back();
    EXPECT_EQ("", bare.GUID);
    EXPECT_EQ(2, bare.WindowsVersion);
    ASSERT_EQ(1u, bare.patchs.size());
    EXPECT_EQ("K9", bare.patchs.front().PatchID);

    EXPECT_TRUE(HasLine(NarrowFromUtf8("正在解析补丁列表...{BASE}")));
    EXPECT_TRUE(HasLine(NarrowFromUtf8("正在解析补丁...安全补丁")));
}

TEST_F(PatchListTest, SharesTheListWithDownloadFileList) {
    int locked = 0;
    const std::list<_SoftInfo>& downloaded = IWebInteractive::DownloadFileList(
        Serve("filelist_gb2312.xml").c_str(), "{A1B2}", "", "", locked, nullptr);
    ASSERT_EQ(3u, downloaded.size());
    const std::list<_SoftInfo>& parsed = IWebInteractive::ParsePatchsList(
        Fixture("patch_list_gb2312.xml").c_str());
    EXPECT_EQ(&downloaded, &parsed);
    EXPECT_EQ("{BASE}", downloaded.front().GUID);

    for (const char* text : {"<softwares", "<software/>", "", static_cast<const char*>(nullptr)}) {
        EXPECT_TRUE(IWebInteractive::ParsePatchsList(text).empty());
    }
    EXPECT_TRUE(
        IWebInteractive::ParsePatchsList(Fixture("filelist_entity_expansion.xml").c_str())
            .empty());
}

TEST_F(PatchListTest, ChineseNamesArriveIntactInAGbkCodePage) {
    wi::test::GbkLocale gbk;
    if (!gbk.Active()) GTEST_SKIP() << gbk.Reason();
    const std::list<_SoftInfo>& softs =
        IWebInteractive::ParsePatchsList(Fixture("patch_list_gb2312.xml").c_str());
    ASSERT_EQ(3u, softs.size());
    EXPECT_EQ(wi::inc::NarrowFromUtf8("补丁软件"), softs.front().Name);
    EXPECT_EQ(8u, softs.front().Name.size());
    EXPECT_TRUE(HasLine(wi::inc::NarrowFromUtf8("正在解析补丁...安全补丁")));
}

}  // namespace
