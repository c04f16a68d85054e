// DownloadCertainFileList and SaveCertainFileListXml against a local nginx.
#include "inc/narrow_text.h"
#include "list_test_support.h"
#include "webinteractive/lists.h"

namespace {

using ISoftInfoInc::_SoftInfo;
using wi::inc::NarrowFromUtf8;

class CertainFileListTest : public wi::test::ListTest {
protected:
    const _SoftInfo& Download(const std::string& url, const char* guid, int version = -1) {
        return IWebInteractive::DownloadCertainFileList(url.c_str(), guid, version);
    }
    std::vector<std::string> LeftBehind() const { return TempDocuments("DownCertainFileTemp"); }
};

TEST_F(CertainFileListTest, MergesEveryVersionIntoTheOneRecord) {
    const std::string url = Serve("certain_gb2312.xml");
    const _SoftInfo& record = Download(url, "{R 1}");
    const std::string request = "GET /certain_gb2312.xml?guid=%7bR%201%7d&version=-1 200";
    EXPECT_EQ(std::vector<std::string>{request}, web_.RequestLines());
    EXPECT_TRUE(LeftBehind().empty());

    EXPECT_EQ("{R1}", record.GUID);
    EXPECT_EQ(NarrowFromUtf8("瑞星杀毒"), record.Name);
    EXPECT_EQ(NarrowFromUtf8("瑞星"), record.Vendor);
    EXPECT_EQ(1, record.is_protected);
    EXPECT_EQ("2.0", record.Version);        // the later version's value
    EXPECT_EQ(NarrowFromUtf8("C:\\瑞星"), record.SetupPath);  // kept where the later one has none
    EXPECT_EQ(5000000000LL, record.Size);
    EXPECT_EQ("XP", record.OSCode);
    ASSERT_EQ(2u, record.files.size());  // the files of both versions
    ASSERT_EQ(1u, record.dependences.size());
    EXPECT_EQ("dep.dll", record.dependences.begin()->Name);
    EXPECT_EQ("C:\\dep.dll", record.dependences.begin()->SetupPath);
    ASSERT_EQ(1u, record.configs.size());
    EXPECT_EQ(NarrowFromUtf8("HKLM\\瑞星"), record.configs.begin()->Key);

    ASSERT_EQ(2u, record.patchs.size());
    const _PatchInfo& first = record.patchs.front();
    EXPECT_EQ("P1", first.PatchID);
    EXPECT_EQ(NarrowFromUtf8("补丁一"), first.PNID);
    EXPECT_EQ("0.9", first.SportEdition);
    EXPECT_TRUE(first.Enforces);
    EXPECT_TRUE(first.DefaultInstall);  // any nonzero number
    EXPECT_EQ(NarrowFromUtf8("C:\\补丁"), first.SavePath);
    EXPECT_EQ("V1", first.VerificationCode);
    EXPECT_EQ(NarrowFromUtf8("内容"), first.Content);
    EXPECT_EQ("2024-12-31", first.EndTime);
    ASSERT_EQ(2u, first.dependences.size());  // "pat" in any case; other children skipped
    EXPECT_EQ("P0", first.dependences.front().PatchID);
    EXPECT_EQ(NarrowFromUtf8("前置"), first.dependences.front().Descrip);
    EXPECT_EQ("P00", first.dependences.back().PatchID);
    const _PatchInfo& second = record.patchs.back();
    EXPECT_EQ("P2", second.PatchID);
    EXPECT_FALSE(second.Enforces);
    EXPECT_TRUE(second.dependences.empty());

    EXPECT_TRUE(HasLine(NarrowFromUtf8("正在下载软件的最新版本软件列表...{R 1}")));
    EXPECT_TRUE(HasLine(NarrowFromUtf8("正在解析软件的最新版本软件列表...{R 1}")));
    EXPECT_TRUE(HasLine(NarrowFromUtf8("正在解析软件的基本信息...{R 1}")));
    EXPECT_TRUE(HasLine(NarrowFromUtf8("正在解析补丁信息...补丁一")));
    EXPECT_TRUE(HasLine(NarrowFromUtf8("正在解析文件信息...升级.exe")));

    // A failed download leaves the record exactly as it was.
    EXPECT_EQ(&record, &Download(web_.Url("/missing.xml"), "{B}"));
    EXPECT_EQ("{R1}", record.GUID);
    EXPECT_EQ(2u, record.patchs.size());
    EXPECT_EQ(&record, &Download(url, ""));
    EXPECT_EQ("{R1}", record.GUID);

    // A document without "Version": the reset values, while the members the reset leaves keep
    // the previous document's.
    Download(Serve("certain_no_version.xml"), "{C}", 7);
    EXPECT_EQ("{C}", record.GUID);
    EXPECT_EQ("", record.Name);
    EXPECT_EQ("", record.SetupPath);
    EXPECT_EQ(0, record.Size);
    EXPECT_TRUE(record.files.empty());
    EXPECT_TRUE(record.patchs.empty());
    EXPECT_EQ("2.0", record.Version);
    EXPECT_EQ("XP", record.OSCode);
    EXPECT_TRUE(LeftBehind().empty());
}

TEST_F(CertainFileListTest, AnUnparsableDocumentResetsTheRecordAndStays) {
    const _SoftInfo& record = Download(Serve("certain_gb2312.xml"), "{R1}");
    ASSERT_FALSE(record.files.empty());
    Download(Serve("filelist_truncated.xml"), "{T}");
    EXPECT_EQ("{T}", record.GUID);
    EXPECT_TRUE(record.files.empty());
    EXPECT_TRUE(record.patchs.empty());
    EXPECT_EQ(1u, LeftBehind().size());

    Download(Serve("filelist_wrong_root.xml"), "{W}");
    EXPECT_EQ("{W}", record.GUID);
    EXPECT_EQ(1u, LeftBehind().size());  // read, so deleted
}

}  // namespace
