// CreateFileListXml: the document tree, its status lines and its log entries.
#include <gtest/gtest.h>

#include <list>
#include <string>
#include <vector>

#include "documents/document_checks.h"
#include "documents/file_list_test_support.h"
#include "log/log_access.h"
#include "support/gbk_locale.h"
#include "support/narrow_literal.h"
#include "support/status_capture.h"
#include "support/temp_machine.h"
#include "webinteractive/documents.h"
#include "webinteractive/frame.h"

namespace {

using ISoftInfoInc::_SoftInfo;
using wi::test::AnalysedFile;
using wi::test::BareRecord;
using wi::test::ChildNames;
using wi::test::ChildTexts;
using wi::test::FullRecord;
using wi::test::Narrow;
using wi::test::NamedTexts;
using wi::xml::Document;
using wi::xml::Element;

void Parse(Document& document, const char* text) {
    ASSERT_TRUE(document.ParseText(text)) << text;
}

TEST(FileListXml, EveryMemberInItsPlaceAndForm) {
    wi::test::TempMachine machine;
    const std::string text = IWebInteractive::CreateFileListXml({FullRecord("{G-1}")});
    // The text is in the narrow code page: its declaration names no encoding.
    EXPECT_EQ(0u, text.rfind("<?xml version=\"1.0\"?>", 0)) << text;
    EXPECT_EQ(std::string::npos, text.find("encoding"));
    EXPECT_EQ(std::string::npos, text.find("not-written"));  // creator and OSCode

    Document document;
    Parse(document, text.c_str());
    const Element root = document.Root();
    ASSERT_EQ("softwares", root.Name());
    ASSERT_EQ(std::vector<std::string>{"software"}, ChildNames(root));
    const Element software = root.FirstChild("software");
    EXPECT_EQ((std::vector<std::string>{"BaseInfo", "Version"}), ChildNames(software));
    EXPECT_EQ((NamedTexts{{"GUID", "{G-1}"}, {"Type", "9"}, {"Name", Narrow("中文软件")},
                          {"Vendor", Narrow("厂商")}, {"is_protected", "1"}, {"pn_name", "pn"}}),
              ChildTexts(software.FirstChild("BaseInfo")));

    const Element version = software.FirstChild("Version");
    EXPECT_EQ((std::vector<std::string>{"VersionInfo", "FileList", "Dependence", "Configration"}),
              ChildNames(version));
    EXPECT_EQ((NamedTexts{{"GUID", "{G-1}"},
                          {"Version", "2.0"},
                          {"OriginalVersion", "1.0.0"},
                          {"SetupPath", "C:\\Program Files\\X"},
                          {"WindowsVersion", "2"},
                          {"HelpLink", "http://h/?a=1&b=<2>"},
                          {"UpdateLink", "u"},
                          {"Size", "5000000000"},
                          {"SetupSourcePath", "D:\\src"},
                          {"DownloadPath", "d"},
                          {"special_code", "SC"},
                          {"Category", "6"},
                          {"authorized_prefix", "AP"},
                          {"comments", "ab"},
                          {"contact", "c"},
                          {"estimated_size", "-1"},
                          {"help_telephone", "123"},
                          {"install_date", "2026-01-02"},
                          {"language", "2052"},
                          {"no_modify", "1"},
                          {"no_remove", "0"},
                          {"no_repair", "1"},
                          {"modify_path", "m"},
                          {"readme", "r"},
                          {"system_component", "1"},
                          {"version_info", "3"},
                          {"version_major", "4"},
                          {"version_minor", "5"},
                          {"windows_installer", "1"},
                          {"analyse_result", "1"},
                          {"product_id", "P-7"},
                          {"pn_version", "pv"}}),
              ChildTexts(version.FirstChild("VersionInfo")));
    EXPECT_EQ((NamedTexts{{"SId", "F1"},
                          {"Name", "a.dll"},
                          {"SetupPath", "C:\\X\\a.dll"},
                          {"Type", "2"},
                          {"ProductName", Narrow("产品")},
                          {"ProductVersion", "1.1"},
                          {"InsideName", "inside"},
                          {"OriginalName", "orig.dll"},
                          {"CreateDate", "cd"},
                          {"ModifyDate", "md"},
                          {"AccessDate", "ad"},
                          {"Description", "desc"},
                          {"CharacterCode", "CC"},
                          {"Category", "1"},
                          {"file_version", "1.1.0"},
                          {"company_name", Narrow("公司")},
                          {"copy_right", "(c)"},
                          {"language", Narrow("中文(中国)")},
                          {"analyse_result", "5"},
                          {"Component", "3"},
                          {"particularinfo", "p"},
                          {"analyseFlag", "1"},
                          {"delFlag", "0"}}),
              ChildTexts(version.FirstChild("FileList").FirstChild("file")));
    EXPECT_EQ((NamedTexts{{"SId", ""},
                          {"Name", "b.dll"},
                          {"SetupPath", "C:\\X\\b.dll"},
                          {"delflag", "1"},
                          {"special_code", "SC"}}),
              ChildTexts(version.FirstChild("Dependence").FirstChild("dep")));
    EXPECT_EQ((NamedTexts{{"CfgId", ""},
                          {"Source", "HKLM\\Software\\X"},
                          {"Key", Narrow("键")},
                          {"Value", "v"},
                          {"Type", "1"},
                          {"delflag", "0"},
                          {"Action", "2"}}),
              ChildTexts(version.FirstChild("Configration").FirstChild("cfg")));
}

TEST(FileListXml, RunsOfOneGuidShareASoftwareAndLeadingEmptyGuidsAreLeftOut) {
    wi::test::TempMachine machine;
    std::list<_SoftInfo> softs = {BareRecord("", "lead"), BareRecord("", "lead too"),
                                  BareRecord("A", "A1"),  BareRecord("A", "A2"),
                                  BareRecord("B", "B1"),  BareRecord("A", "A3"),
                                  BareRecord("", "late")};
    softs.back().files.insert(AnalysedFile("x", 0));
    Document document;
    Parse(document, IWebInteractive::CreateFileListXml(softs));
    const std::vector<Element> software = document.Root().Children();
    ASSERT_EQ(4u, software.size());
    const std::vector<std::string> baseNames = {"A1", "B1", "A3", "late"};
    const std::vector<std::size_t> versions = {2, 1, 1, 1};
    for (std::size_t i = 0; i < software.size(); ++i) {
        EXPECT_EQ(baseNames[i], software[i].FirstChild("BaseInfo").FirstChild("Name").Text());
        EXPECT_EQ(versions[i] + 1, software[i].Children().size());
    }
    // Each record gets its own "Version"; empty sets still give their three containers.
    const Element second = software[0].Children()[2];
    EXPECT_EQ("Version", second.Name());
    EXPECT_EQ("A", second.FirstChild("VersionInfo").FirstChild("GUID").Text());
    EXPECT_EQ(32u, second.FirstChild("VersionInfo").Children().size());
    for (const char* container : {"FileList", "Dependence", "Configration"}) {
        ASSERT_TRUE(second.FirstChild(container)) << container;
        EXPECT_TRUE(second.FirstChild(container).Children().empty()) << container;
    }
    EXPECT_EQ(1u, software[3].FirstChild("Version").FirstChild("FileList").Children().size());
}

TEST(FileListXml, StatusLinesFollowTheBuild) {
    wi::test::TempMachine machine;
    _SoftInfo soft = FullRecord("{G-2}");
    soft.files.insert(AnalysedFile("second.dll", 0));
    wi::test::StatusCapture status;
    IWebInteractive::CreateFileListXml({BareRecord("", "skipped"), soft});
    EXPECT_EQ((std::vector<std::string>{Narrow("正在创建软件列表信息..."),
                                        Narrow("正在创建软件基本信息..."),
                                        Narrow("正在创建软件列表信息...{G-2}"),
                                        Narrow("正在创建软件基本信息...{G-2}"),
                                        Narrow("正在创建文件信息...C:\\setup\\second.dll"),  // set order
                                        Narrow("正在创建文件信息...C:\\X\\a.dll"),
                                        Narrow("正在创建依赖文件信息...C:\\X\\b.dll"),
                                        Narrow("正在创建配置信息...键")}),
              status.Lines());
}

TEST(FileListXml, AnEmptyListLeavesTheLastTextAndSaysNothing) {
    wi::test::TempMachine machine;
    const char* shown = IWebInteractive::CreateFileListXml({BareRecord("A")});
    const std::string before = shown;
    ASSERT_NE(std::string::npos, before.find("<GUID>A</GUID>"));
    wi::test::StatusCapture status;
    EXPECT_STREQ("", IWebInteractive::CreateFileListXml({}));
    EXPECT_EQ(before, shown);
    EXPECT_TRUE(status.Lines().empty());
}

// An entry in one line, for comparisons.
std::string Show(const LogInfo& entry) {
    std::string text = entry.guid + "|" + entry.special_code + "|" + entry.result + "|";
    for (const std::string& detail : entry.details) text += detail + ";";
    return text;
}

TEST(FileListXml, OneLogEntryPerWrittenRecordWithGrowingDetails) {
    wi::test::TempMachine machine;
    CLogInc& log = *IWebInteractive::GetLogInc();
    log.StartLog();

    _SoftInfo lead = BareRecord("");
    lead.files.insert(AnalysedFile("lead.dll", 0x01));  // under no "software": not logged
    _SoftInfo first = BareRecord("A");
    first.special_code = "SC-A";
    first.analyse_result = 1;
    first.files = {AnalysedFile("D:\\a1.dll", 0), AnalysedFile("D:\\a2.dll", 0x05),
                   AnalysedFile("D:\\a3.dll", 0x100)};
    _SoftInfo second = BareRecord("B");
    second.special_code = "SC-B";
    second.analyse_result = 7;  // no text: the result stays
    second.files = {AnalysedFile("D:\\b1.dll", 0x81), AnalysedFile("D:\\b2.dll", 0x30),
                    AnalysedFile("D:\\b3.dll", -1)};
    _SoftInfo third = BareRecord("A");
    third.analyse_result = 4;
    IWebInteractive::CreateFileListXml({lead, first, second, third});
    // Neither an empty list nor the upload form adds entries.
    IWebInteractive::CreateFileListXml({});
    IWebInteractive::SaveUploadFileListXml("C:\\upload-form.xml", {first});

    std::vector<std::string> entries;
    for (const LogInfo& entry : wi::log::LogAccess::CurrentRun().entries) {
        entries.push_back(Show(entry));
    }
    log.StartLog();

    const std::string firstDetails = Narrow("文件D:\\a1.dll 正常;文件D:\\a2.dll 缺少依赖文件;;");
    const std::string allDetails = firstDetails +
                                   Narrow("文件D:\\b1.dll 被升级到新的版本;文件D:\\b2.dll 可升级;"
                                          "文件D:\\b3.dll 被升级到新的版本;");
    EXPECT_EQ((std::vector<std::string>{Narrow("A|SC-A|软件被修改|") + firstDetails,
                                        Narrow("B|SC-B|软件被修改|") + allDetails,  // 7: no text
                                        Narrow("A||软件被升级到新的版本|") + allDetails}),
              entries);
}

// Text the narrow code page cannot read, and characters GB2312 cannot hold: replaced or kept,
// and the document stays whole in the text form and in the saved file.
TEST(FileListXml, BadBytesAreReplacedAndTheDocumentStaysWhole) {
    wi::test::TempMachine machine;
    _SoftInfo soft = FullRecord("{G-\xFF}");
    // 0xFF, and lead bytes followed by no trail byte or cut off by the end, begin no character
    // in UTF-8 or in code page 936.
    soft.Name = "ab\xFF\xFF" "cd" + Narrow("中") + "\xE4(\x81 \xE4";
    soft.Vendor = Narrow("é丂中");  // valid, but 丂 is not in GB2312
    const std::list<_SoftInfo> softs = {soft, BareRecord("next")};

    Document text;
    Parse(text, IWebInteractive::CreateFileListXml(softs));
    IWebInteractive::SaveUploadFileListXml("C:\\bad.xml", softs);
    Document file;
    ASSERT_TRUE(file.ParseFile("C:\\bad.xml"));
    for (const Document* document : {&text, &file}) {
        const std::vector<Element> software = document->Root().Children();
        ASSERT_EQ(2u, software.size());
        const Element base = software[0].Children()[0];
        EXPECT_EQ("{G-?}", base.FirstChild("GUID").Text());
        EXPECT_EQ("ab??cd" + Narrow("中") + "?(? ?", base.FirstChild("Name").Text());
        EXPECT_EQ(Narrow("é丂中"), base.FirstChild("Vendor").Text());
        EXPECT_EQ(4u, software[0].FirstChild("Version").Children().size());
        EXPECT_EQ("next", software[1].Children()[0].FirstChild("GUID").Text());
    }
}

// In a GBK locale the narrow code page is GBK: the text form, the status lines and the log
// texts are GBK, and the file still says and is GB2312.
TEST(FileListXml, GbkNarrowCodePage) {
    wi::test::TempMachine machine;
    wi::test::GbkLocale gbk;
    if (!gbk.Active()) GTEST_SKIP() << gbk.Reason();
    const std::string chinese = "\xD6\xD0\xCE\xC4";     // 中文
    const std::string beyondGb2312 = "\x81\x40";        // 丂: GBK, not GB2312
    _SoftInfo soft = BareRecord("G", chinese + beyondGb2312 + "\x81\x20" "z");
    soft.files.insert(AnalysedFile("D:\\" + chinese, 0x04));

    wi::test::StatusCapture status;
    const std::string text = IWebInteractive::CreateFileListXml({soft});
    EXPECT_NE(std::string::npos, text.find("<Name>" + chinese + beyondGb2312 + "? z</Name>"))
        << text;
    ASSERT_FALSE(status.Lines().empty());
    EXPECT_EQ("\xD5\xFD\xD4\xDA\xB4\xB4\xBD\xA8\xC8\xED\xBC\xFE\xC1\xD0\xB1\xED\xD0\xC5\xCF\xA2"
              "...G",  // 正在创建软件列表信息...G
              status.Lines()[0]);

    IWebInteractive::SaveUploadFileListXml("C:\\gbk.xml", {soft});
    const std::string bytes = wi::test::TempMachine::ReadHostFile(machine.HostPath("C:\\gbk.xml"));
    EXPECT_EQ(0u, bytes.rfind("<?xml version=\"1.0\" encoding=\"gb2312\"?>", 0)) << bytes;
    EXPECT_NE(std::string::npos, bytes.find("<Name>" + chinese));
    Document file;
    ASSERT_TRUE(file.ParseFile("C:\\gbk.xml"));
    EXPECT_EQ(chinese + beyondGb2312 + "? z",
              file.Root().FirstChild("software").FirstChild("Baseinfo").FirstChild("Name").Text());
}

}  // namespace
