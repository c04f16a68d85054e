// DownloadFileList and SaveDownloadFileListXml against a local nginx serving fixture documents.
#include <climits>
#include <cstdint>
#include <fstream>
#include <thread>

#include "inc/narrow_text.h"
#include "list_test_support.h"
#include "platform/xml_dom.h"
#include "support/gbk_locale.h"
#include "webinteractive/host.h"
#include "webinteractive/lists.h"

namespace {

using ISoftInfoInc::_SoftInfo;
using wi::inc::NarrowFromUtf8;
using wi::test::Fixture;

class FileListDownloadTest : public wi::test::ListTest {
protected:
    const std::list<_SoftInfo>& Download(const std::string& url, const char* guid = "{A1B2}",
                                         void* cancelEvent = nullptr) {
        return IWebInteractive::DownloadFileList(url.c_str(), guid, "SC", "1.0", locked_,
                                                 cancelEvent);
    }
    std::vector<std::string> LeftBehind() const { return TempDocuments("DownFileListTemp"); }

    int locked_ = 42;
};

const _SoftInfo& At(const std::list<_SoftInfo>& softs, std::size_t index) {
    return *std::next(softs.begin(), static_cast<long>(index));
}

TEST_F(FileListDownloadTest, ReadsEveryVersionOfTheFirstSoftware) {
    const std::list<_SoftInfo>& softs = Download(Serve("filelist_gb2312.xml"));

    ASSERT_EQ(3u, softs.size());
    EXPECT_EQ(1, locked_);
    EXPECT_TRUE(LeftBehind().empty());

    // A version before "BaseInfo" gets empty base values.
    EXPECT_EQ("{early}", At(softs, 0).GUID);
    EXPECT_EQ("", At(softs, 0).Name);

    const _SoftInfo& soft = At(softs, 1);
    EXPECT_EQ(NarrowFromUtf8("金山词霸"), soft.Name);
    EXPECT_EQ(NarrowFromUtf8("金山软件"), soft.Vendor);
    EXPECT_EQ(NarrowFromUtf8("词霸"), soft.pn_name);
    EXPECT_EQ(3, soft.Type);
    EXPECT_EQ(1, soft.is_protected);
    EXPECT_EQ("{A1B2}", soft.GUID);
    EXPECT_EQ("2.0", soft.Version);
    EXPECT_EQ(NarrowFromUtf8("C:\\Program Files\\金山\\词霸"), soft.SetupPath);
    EXPECT_EQ(5, soft.WindowsVersion);
    EXPECT_EQ(5000000000LL, soft.Size);
    EXPECT_EQ(NarrowFromUtf8("D:\\安装"), soft.SetupSourcePath);
    EXPECT_EQ(NarrowFromUtf8("注释"), soft.comments);
    EXPECT_EQ(2052, soft.language);
    EXPECT_EQ(NarrowFromUtf8("说明"), soft.readme);
    EXPECT_EQ(7, soft.version_info);
    EXPECT_EQ("2.0.1", soft.pn_version);
    EXPECT_EQ("XP", soft.OSCode);
    EXPECT_EQ("", soft.creator);  // not part of the document's reading
    EXPECT_EQ(0, soft.analyse_result);

    // The folder is skipped; "FILE" and "file" with the same values give one record.
    ASSERT_EQ(2u, soft.files.size());
    const std::string dllName = NarrowFromUtf8("词典.dll");
    const auto dll = std::find_if(soft.files.begin(), soft.files.end(),
                                  [&](const auto& f) { return f.Name == dllName; });
    ASSERT_NE(soft.files.end(), dll);
    EXPECT_EQ("F1", dll->SId);
    EXPECT_EQ(1, dll->Type);
    EXPECT_EQ(NarrowFromUtf8("词典库"), dll->Description);
    EXPECT_EQ(NarrowFromUtf8("中文"), dll->language);
    EXPECT_EQ(3, dll->analyse_result);
    EXPECT_EQ(1u, dll->delFlag);
    EXPECT_EQ(1u, dll->analyseFlag);
    const auto exe = std::find_if(soft.files.begin(), soft.files.end(),
                                  [](const auto& f) { return f.Name == "b.exe"; });
    ASSERT_NE(soft.files.end(), exe);
    EXPECT_EQ(0u, exe->analyseFlag);  // "2" is not the flag
    EXPECT_EQ(2, exe->Type);

    // Any child of "Dependence" and "Configration" is an item; missing values keep their start.
    ASSERT_EQ(2u, soft.dependences.size());
    EXPECT_FALSE(soft.dependences.begin()->delflag);  // msvcrt.dll, "0"
    EXPECT_EQ(NarrowFromUtf8("共享.dll"), soft.dependences.rbegin()->Name);
    EXPECT_TRUE(soft.dependences.rbegin()->delflag);
    ASSERT_EQ(2u, soft.configs.size());
    for (const IConfInfoInc::_ConfInfo& config : soft.configs) {
        EXPECT_TRUE(config.delflag);  // "5" reads as true, a missing one stays true
        EXPECT_EQ(config.Key == "HKCU\\x" ? 1 : 3, config.Action);
    }

    // A version without "VersionInfo" has no base values but its items.
    const _SoftInfo& bare = At(softs, 2);
    EXPECT_EQ("", bare.GUID);
    EXPECT_EQ("", bare.Name);
    EXPECT_EQ(2, bare.WindowsVersion);
    EXPECT_EQ(1u, bare.files.size());
    EXPECT_EQ(1u, bare.dependences.size());
    EXPECT_EQ(1u, bare.configs.size());

    EXPECT_EQ(NarrowFromUtf8("正在下载软件的文件列表...{A1B2}"), lines_.at(0));
    for (const char* line :
         {"正在解析文件列表...{A1B2}", "正在解析基本软件信息：{A1B2}，版本：2.0...",
          "正在解析文件信息...词典.dll", "正在解析依赖信息...共享.dll",
          "正在解析配置信息...HKLM\\Software\\金山"}) {
        EXPECT_TRUE(HasLine(NarrowFromUtf8(line))) << line;
    }
}

TEST_F(FileListDownloadTest, SendsOneRequestWithEveryValueEncoded) {
    const std::string url = Serve("filelist_gb2312.xml") + "?from=host";
    IWebInteractive::DownloadFileList(url.c_str(), "金 {1}", "a&b", nullptr, locked_, nullptr);
    const std::string expected =
        "GET /filelist_gb2312.xml?from=host&guid=%e9%87%91%20%7b1%7d&special_code=a%26b"
        "&pnversion= 200";
    EXPECT_EQ(std::vector<std::string>{expected}, web_.RequestLines());

    // No GUID: nothing is asked for.
    EXPECT_STREQ("", IWebInteractive::SaveDownloadFileListXml(url.c_str(), "", "", ""));
    EXPECT_EQ(NarrowFromUtf8("正在下载软件的文件列表..."), lines_.back());
    EXPECT_EQ(std::vector<std::string>{expected}, web_.RequestLines());
}

TEST_F(FileListDownloadTest, ChineseNamesArriveIntactInAGbkCodePage) {
    wi::test::GbkLocale gbk;
    if (!gbk.Active()) GTEST_SKIP() << gbk.Reason();
    const std::list<_SoftInfo>& softs = Download(Serve("filelist_gb2312.xml"));
    ASSERT_EQ(3u, softs.size());
    EXPECT_EQ(wi::inc::NarrowFromUtf8("金山词霸"), At(softs, 1).Name);
    EXPECT_EQ(wi::inc::NarrowFromUtf8("金山词霸").size(), 8u);  // two bytes a character
    EXPECT_EQ(wi::inc::NarrowFromUtf8("C:\\Program Files\\金山\\词霸"), At(softs, 1).SetupPath);
    EXPECT_TRUE(HasLine(wi::inc::NarrowFromUtf8("正在解析文件信息...词典.dll")));
}

// Oversized numbers take the nearest value the member holds; "Size" keeps all 64 bits.
TEST_F(FileListDownloadTest, NumbersReadUpToTheFirstOtherCharacterAndSaturate) {
    const std::list<_SoftInfo>& softs = Download(Serve("filelist_numbers.xml"));
    ASSERT_EQ(6u, softs.size());
    EXPECT_EQ(-3, locked_);
    EXPECT_EQ(INT_MAX, At(softs, 0).Type);
    EXPECT_EQ(INT_MIN, At(softs, 0).is_protected);

    const std::int64_t sizes[] = {4096, -1, 12, INT64_MAX, INT64_MIN, 12};
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(sizes[i], At(softs, i).Size) << i;
    EXPECT_EQ(INT_MAX, At(softs, 0).WindowsVersion);
    EXPECT_EQ(INT_MAX, At(softs, 1).WindowsVersion);
    EXPECT_EQ(0, At(softs, 2).WindowsVersion);  // no digits
    EXPECT_EQ(2, At(softs, 3).WindowsVersion);  // missing
    EXPECT_EQ(INT_MIN, At(softs, 0).estimated_size);
    EXPECT_EQ(INT_MIN, At(softs, 1).estimated_size);
    EXPECT_EQ(7, At(softs, 2).estimated_size);
    EXPECT_EQ(-12, At(softs, 2).language);
    EXPECT_EQ(0, At(softs, 3).language);  // "--5"
    EXPECT_EQ(0, At(softs, 4).no_modify);  // "0x10"
}

TEST_F(FileListDownloadTest, WrongShapesGiveTheEmptyListAndLeaveLockedAlone) {
    const std::list<_SoftInfo>& softs = Download(Serve("filelist_gb2312.xml"));
    ASSERT_EQ(3u, softs.size());
    for (const char* fixture : {"filelist_wrong_root.xml", "filelist_no_software.xml"}) {
        locked_ = 42;
        EXPECT_TRUE(Download(Serve(fixture)).empty()) << fixture;
        EXPECT_EQ(42, locked_) << fixture;
        EXPECT_TRUE(LeftBehind().empty()) << fixture;
    }
    EXPECT_TRUE(softs.empty());  // the earlier reference shows the latest call

    // Nothing downloaded: no document, the empty list.
    EXPECT_TRUE(Download(web_.Url("/missing.xml")).empty());
    EXPECT_STREQ("", IWebInteractive::SaveDownloadFileListXml(web_.Url("/missing.xml").c_str(),
                                                              "{A1B2}", "", ""));
    EXPECT_TRUE(Download(Serve("filelist_gb2312.xml"), "").empty());
    EXPECT_EQ(42, locked_);
}

// Documents that do not parse, or that the DOM refuses, give the empty list; the downloaded file
// stays for inspection, "locked" is untouched, and nothing else is fetched or read.
TEST_F(FileListDownloadTest, HostileDocumentsAreRefusedAndKept) {
    std::string external = Fixture("filelist_external_entity.xml");
    external.replace(external.find("@PORT@"), 6, std::to_string(web_.port()));
    ServeText("secret.xml", "<x>secret</x>");
    std::string deep = "<softwares><software><BaseInfo><locked>1</locked></BaseInfo><Version>";
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    for (int i = 0; i < 100000; ++i) deep += "</a>";
    deep += "</Version></software></softwares>";

    const std::vector<std::pair<std::string, std::string>> documents = {
        {"truncated.xml", Fixture("filelist_truncated.xml")},
        {"expansion.xml", Fixture("filelist_entity_expansion.xml")},
        {"external.xml", external},
        {"deep.xml", deep},
    };
    std::size_t kept = 0;
    for (const auto& document : documents) {
        EXPECT_TRUE(Download(ServeText(document.first, document.second)).empty()) << document.first;
        EXPECT_EQ(42, locked_) << document.first;
        EXPECT_EQ(++kept, LeftBehind().size()) << document.first;
    }
    const std::vector<std::string> requests = web_.RequestLines();
    EXPECT_EQ(documents.size(), requests.size());
    for (const std::string& request : requests) {
        EXPECT_EQ(std::string::npos, request.find("secret")) << request;
    }
}

// A document beyond the reader's bound for files, announced by its length, is not downloaded.
TEST_F(FileListDownloadTest, ADocumentBeyondTheFileBoundIsNotDownloaded) {
    const std::string path = web_.Root() + "/huge.xml";
    {
        std::ofstream out(path, std::ios::binary);
        out << "<softwares><software><BaseInfo><locked>1</locked></BaseInfo><!--";
        const std::string block(1 << 20, ' ');
        for (int i = 0; i < 200; ++i) out.write(block.data(), static_cast<long>(block.size()));
        out << "--><Version/></software></softwares>";
    }
    ASSERT_GT(200u << 20, wi::xml::kMaxFileBytes);
    EXPECT_TRUE(Download(web_.Url("/huge.xml")).empty());
    EXPECT_EQ(42, locked_);
    EXPECT_TRUE(LeftBehind().empty());
}

// The cancel test: a manual-reset event ends every loop at once; an auto-reset event ends only
// the loop whose test sees it. It is signalled from another thread while a file is read.
class FileListCancelTest : public FileListDownloadTest {
protected:
    void OnStatus(const std::string& line) override {
        if (event_ != nullptr && line == NarrowFromUtf8("正在解析文件信息...词典.dll")) {
            std::thread([this] { IHostInc::SignalCancelEvent(event_); }).join();
        }
    }
    void* event_ = nullptr;
};

TEST_F(FileListCancelTest, ASignalledEventEndsTheReading) {
    const std::string url = Serve("filelist_gb2312.xml");

    event_ = IHostInc::CreateCancelEvent(/*manualReset=*/false);
    const std::list<_SoftInfo>& softs = Download(url, "{A1B2}", event_);
    ASSERT_EQ(3u, softs.size());
    EXPECT_EQ(1u, At(softs, 1).files.size());  // the loop that saw it
    EXPECT_EQ(2u, At(softs, 1).dependences.size());
    EXPECT_EQ(2u, At(softs, 1).configs.size());
    EXPECT_EQ(1u, At(softs, 2).files.size());
    IHostInc::FreeCancelEvent(event_);

    event_ = IHostInc::CreateCancelEvent(/*manualReset=*/true);
    Download(url, "{A1B2}", event_);
    ASSERT_EQ(2u, softs.size());  // the walk ends too, after appending the record it was in
    EXPECT_EQ(1u, At(softs, 1).files.size());
    EXPECT_TRUE(At(softs, 1).dependences.empty());
    EXPECT_TRUE(At(softs, 1).configs.empty());
    EXPECT_TRUE(LeftBehind().empty());

    // Signalled before the walk: nothing is read, "locked" is 0 and the document goes.
    Download(url, "{A1B2}", event_);
    EXPECT_TRUE(softs.empty());
    EXPECT_EQ(0, locked_);
    EXPECT_TRUE(LeftBehind().empty());
    IHostInc::FreeCancelEvent(event_);
    event_ = nullptr;
}

}  // namespace
