// ProtectFilesToLocal: what goes into the store, the documents it writes, its status and log
// lines, and the rules by which a failed item fails the protection.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "drives_machine.h"
#include "platform/files.h"
#include "protect_support.h"
#include "store/protected_table.h"
#include "support/host.h"

namespace {

using wi::test::Dependence;
using wi::test::Software;
using wi::test::SoftwareFile;
using wi::test::StoredOnD;

class Protect : public wi::test::StoreTest {
protected:
    // The protect document's tree: Version, InstallPath and (source, store path) pairs.
    struct ProtectDocument {
        std::string version, installPath;
        std::vector<std::pair<std::string, std::string>> files;
    };
    ProtectDocument ReadProtectDocument(const std::string& guid) const {
        ProtectDocument read;
        wi::xml::Document document;
        EXPECT_TRUE(document.ParseFile(std::string(kStoreRoot) + guid + "\\Protect.xml"));
        const wi::xml::Element root = document.Root();
        EXPECT_EQ(root.Name(), "Protect");
        read.version = root.FirstChild("Version").Text();
        read.installPath = root.FirstChild("InstallPath").Text();
        for (const wi::xml::Element& file : root.FirstChild("FileList").Children()) {
            read.files.emplace_back(file.FirstChild("SourcePath").Text(),
                                    file.FirstChild("ProtectPath").Text());
        }
        return read;
    }
};

TEST_F(Protect, StoresEveryItemAndRecordsIt) {
    ISoftInfoInc::_SoftInfo soft = Software("G1");
    PutFile("D:\\App\\a.exe", "program");
    PutFile("D:\\App\\lib\\b.dll", "library");
    PutFile("C:\\Windows\\dep.dll", "shared");
    soft.files = {SoftwareFile("1", "D:\\App\\a.exe"), SoftwareFile("2", "D:\\App\\lib\\b.dll")};
    soft.dependences = {Dependence("C:\\Windows\\dep.dll")};
    IConfInfoInc::_ConfInfo config;
    config.Key = "HKLM\\Software\\App";
    soft.configs = {config};

    ASSERT_EQ(IWebInteractive::ProtectFilesToLocal(soft, nullptr), 1);
    EXPECT_EQ(lines.back(), "保护成功");

    EXPECT_EQ(wi::test::TempMachine::ReadHostFile(machine.HostPath(StoredOnD(soft, "App\\lib\\b.dll"))),
              "library");
    const std::string dependence = std::string(kStoreRoot) + "Dependence\\Windows\\dep.dll";
    const std::string configXml = StoredOnD(soft, "Config.xml");
    EXPECT_TRUE(Exists(dependence));
    const ProtectDocument document = ReadProtectDocument("G1");
    EXPECT_EQ(document.version, "3");
    EXPECT_EQ(document.installPath, "D:\\App");
    EXPECT_EQ(document.files, (std::vector<std::pair<std::string, std::string>>{
                                  {"D:\\App\\a.exe", StoredOnD(soft, "App\\a.exe")},
                                  {"D:\\App\\lib\\b.dll", StoredOnD(soft, "App\\lib\\b.dll")},
                                  {"C:\\Windows\\dep.dll", dependence},
                                  {"C:\\Config.xml", configXml}}));
    const std::string protectXml = std::string(kStoreRoot) + "G1\\Protect.xml";
    EXPECT_EQ(UserDocumentPairs(), (std::vector<std::pair<std::string, std::string>>{
                                       {"G1", protectXml}}));

    // The queries see it.
    EXPECT_STREQ(IWebInteractive::GetProtectXmlPath("G1"), protectXml.c_str());
    EXPECT_EQ(IWebInteractive::GetProtectedVersion("G1"), 3);
    EXPECT_STREQ(IWebInteractive::GetProtectedInstallPath("G1"), "D:\\App");
    EXPECT_STREQ(IWebInteractive::GetFileProtectPath(protectXml.c_str(), "C:\\Config.xml"),
                 configXml.c_str());

    // Status lines in order of the steps (temporary documents' numbers masked), one log entry
    // with a line per item.
    std::vector<std::string> protection;
    for (const std::string& line : lines) {
        if (line == "开始保护  G1  3") protection.clear();
        protection.push_back(std::regex_replace(line, std::regex(R"(Temp\d+\.xml)"), "Temp#.xml"));
        if (line == "保护成功") break;
    }
    const std::string documents = "C:\\users\\Public\\Documents\\";
    EXPECT_EQ(protection,
              (std::vector<std::string>{
                  "开始保护  G1  3", "获取软件的保护版本...G1", "清除旧保护数据成功",
                  "正在保护文件...setup:1", "正在保护文件D:\\App\\a.exe...",
                  "文件D:\\App\\a.exe 保护成功", "保护文件：setup:1...成功",
                  "正在保护文件...setup:2", "正在保护文件D:\\App\\lib\\b.dll...",
                  "文件D:\\App\\lib\\b.dll 保护成功", "保护文件：setup:2...成功",
                  "正在保护依赖文件...dep:C:\\Windows\\dep.dll",
                  "正在保护依赖文件C:\\Windows\\dep.dll...", "依赖文件C:\\Windows\\dep.dll 保护成功",
                  "保护依赖文件：dep:C:\\Windows\\dep.dll...成功",
                  "正在保护配置信息...HKLM\\Software\\App",
                  "正在保护注册表信息文件" + documents + "ConfigTemp#.xml...",
                  "注册表信息文件" + documents + "ConfigTemp#.xml 保护成功",
                  "正在保存保护信息  G1  3", "正在保存保护信息文件" + documents + "ProtectTemp#.xml...",
                  "保护信息文件" + documents + "ProtectTemp#.xml 保存成功", "开始上传用户个性化信息...",
                  "正在保存用户信息文件" + documents + "UserTemp#.xml...",
                  "用户信息文件" + documents + "UserTemp#.xml 保存成功", "保护成功"}));
    const std::vector<LogInfo> entries = LogEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].guid, "G1");
    EXPECT_EQ(entries[0].special_code, "SC-G1");
    EXPECT_EQ(entries[0].result, "保护成功");
    ASSERT_EQ(entries[0].details.size(), 6u);
    EXPECT_EQ(entries[0].details.front(), "文件D:\\App\\a.exe 保护成功");
    EXPECT_EQ(entries[0].details.back().rfind("用户信息文件", 0), 0u);
}

TEST_F(Protect, TheStoreDirectoryIsHiddenSystemAndReadOnly) {
    if (wi::test::host::UnderWine()) {
        GTEST_SKIP() << "Wine's attrib applies only the last of several switches, and Wine keeps "
                        "no read-only attribute on a directory";
    }
    ASSERT_EQ(IWebInteractive::ProtectFilesToLocal(Software("G1"), nullptr), 1);
    std::uint32_t attributes = 0;
    ASSERT_TRUE(wi::platform::GetFileAttributes("D:\\qel_protect", attributes));
    EXPECT_EQ(attributes & 0x7u, 0x7u);
}

TEST_F(Protect, AnEmptySoftwareStillGetsItsDocuments) {
    ASSERT_EQ(IWebInteractive::ProtectFilesToLocal(Software("G1"), nullptr), 1);
    const ProtectDocument document = ReadProtectDocument("G1");
    ASSERT_EQ(document.files.size(), 1u);
    EXPECT_EQ(document.files[0].first, "C:\\Config.xml");
    wi::xml::Document config;
    ASSERT_TRUE(config.ParseFile(document.files[0].second));
    EXPECT_TRUE(config.Root().Children().empty());
}

TEST_F(Protect, OnlyAMissingFileOfCategoryAndTypeZeroFailsIt) {
    ISoftInfoInc::_SoftInfo soft = Software("G1");
    PutFile("D:\\App\\dep.dll", "shared");
    soft.files = {SoftwareFile("1", "D:\\App\\other.dat", 1, 0),
                  SoftwareFile("2", "D:\\App\\typed.dat", 0, 2)};
    soft.dependences = {Dependence("D:\\App\\missing.dll")};
    EXPECT_EQ(IWebInteractive::ProtectFilesToLocal(soft, nullptr), 1);
    EXPECT_TRUE(SawLine("保护文件：setup:2...成功"));
    EXPECT_TRUE(SawLine("保护依赖文件：dep:D:\\App\\missing.dll...成功"));
    const LogInfo entry = LogEntries().back();
    EXPECT_EQ(entry.details.front(), "文件D:\\App\\other.dat 保护失败");
    // A missing file gets no progress line.
    EXPECT_FALSE(SawLine("正在保护文件D:\\App\\other.dat..."));

    soft.files.insert(SoftwareFile("0", "D:\\App\\needed.exe"));
    EXPECT_EQ(IWebInteractive::ProtectFilesToLocal(soft, nullptr), 0);
    // Every line after the first failure reads failed; the protect document says so.
    EXPECT_TRUE(SawLine("保护文件：setup:0...失败"));
    EXPECT_TRUE(SawLine("保护文件：setup:2...失败"));
    EXPECT_TRUE(SawLine("保护依赖文件：dep:D:\\App\\missing.dll...失败"));
    EXPECT_EQ(lines.back(), "保护失败");
    EXPECT_EQ(LogEntries().back().result, "保护失败");
    const ProtectDocument document = ReadProtectDocument("G1");
    EXPECT_EQ(document.version, "-1");
    EXPECT_EQ(document.installPath, "");
    // The failed protection stays listed, but counts as not protected.
    EXPECT_EQ(UserDocumentPairs().size(), 1u);
    EXPECT_EQ(IWebInteractive::GetProtectedVersion("G1"), -1);
    EXPECT_STREQ(IWebInteractive::GetProtectedInstallPath("G1"), "");
}

TEST_F(Protect, RefusedSoftwaresChangeNothing) {
    ISoftInfoInc::_SoftInfo first = Software("G1");
    ASSERT_EQ(IWebInteractive::ProtectFilesToLocal(first, nullptr), 1);
    const std::size_t logged = LogEntries().size();
    // No GUID or version, or one that cannot name a store directory: only the first line.
    for (const auto& [guid, version] : std::vector<std::pair<std::string, std::string>>{
             {"", "3"}, {"G1", ""}, {"..", "3"}, {"G1", ".."}, {"G1\" & x", "3"},
             {"..\\G1", "3"}, {"G1", "a/b"}, {"E:", "1"}}) {
        lines.clear();
        EXPECT_EQ(IWebInteractive::ProtectFilesToLocal(Software(guid, version), nullptr), 0);
        EXPECT_EQ(lines.size(), 1u) << guid << " " << version;
    }
    EXPECT_EQ(LogEntries().size(), logged);
    EXPECT_EQ(IWebInteractive::GetProtectedVersion("G1"), 3);
    EXPECT_EQ(UserDocumentPairs().size(), 1u);
}

TEST_F(Protect, AMachineWithOnlyDriveCCannotProtect) {
    wi::test::DrivesMachine drives;
    drives.notFixed = "D";
    Reinit();
    ISoftInfoInc::_SoftInfo soft = Software("G1");
    PutFile("C:\\App\\a.exe", "program");
    soft.files = {SoftwareFile("1", "C:\\App\\a.exe")};
    EXPECT_EQ(IWebInteractive::ProtectFilesToLocal(soft, nullptr), 0);
    const LogInfo entry = LogEntries().back();
    EXPECT_EQ(entry.details.front(), "磁盘空间不足，无法保护！");
    EXPECT_FALSE(SawLine("磁盘空间不足，无法保护！"));
    EXPECT_FALSE(Exists("C:\\qel_protect\\software\\G1"));
}

TEST_F(Protect, SourcesOutsideTheRulesAreNotStored) {
    ISoftInfoInc::_SoftInfo soft = Software("G1");
    PutFile("D:\\secret.txt", "outside");
    // No ":\": fails without a line. A ".." component would land outside the store root.
    soft.files = {SoftwareFile("1", "relative\\a.exe", 1),
                  SoftwareFile("2", "D:\\App\\..\\..\\..\\..\\secret.txt", 1)};
    soft.dependences = {Dependence("D:\\x\\..\\..\\..\\..\\qel_protect\\software\\qeluser.xml")};
    EXPECT_EQ(IWebInteractive::ProtectFilesToLocal(soft, nullptr), 1);
    const LogInfo entry = LogEntries().back();
    EXPECT_EQ(entry.details.front(), "文件D:\\App\\..\\..\\..\\..\\secret.txt 保护失败");
    EXPECT_EQ(entry.details.size(), 5u);  // two failures, configuration, protect and user document
    // Drive D: holds the source and the store's own documents, nothing more.
    EXPECT_EQ(machine.Tree("D:\\"),
              (std::vector<std::string>{
                  "qel_protect\\", "qel_protect\\software\\",
                  "qel_protect\\software\\Dependence\\", "qel_protect\\software\\G1\\",
                  "qel_protect\\software\\G1\\3\\", "qel_protect\\software\\G1\\3\\Config.xml",
                  "qel_protect\\software\\G1\\Protect.xml", "qel_protect\\software\\qeluser.xml",
                  "secret.txt"}));
    EXPECT_EQ(UserDocumentPairs().size(), 1u);
}

TEST_F(Protect, AReadOnlyStoredCopyIsReplaced) {
    ISoftInfoInc::_SoftInfo soft = Software("G1");
    PutFile("D:\\App\\dep.dll", "new");
    const std::string stored = std::string(kStoreRoot) + "Dependence\\App\\dep.dll";
    PutFile(stored, "old");
    ASSERT_TRUE(wi::platform::SetFileAttributes(stored, wi::platform::kAttrReadOnly));
    soft.dependences = {Dependence("D:\\App\\dep.dll")};
    EXPECT_EQ(IWebInteractive::ProtectFilesToLocal(soft, nullptr), 1);
    EXPECT_EQ(wi::test::TempMachine::ReadHostFile(machine.HostPath(stored)), "new");
}

TEST_F(Protect, EarlierProtectionsStayListed) {
    PutFixture("not_xml.xml", kUserXml);  // a broken user document: the table starts empty
    Reinit();
    ASSERT_EQ(IWebInteractive::ProtectFilesToLocal(Software("G1"), nullptr), 1);
    ASSERT_EQ(IWebInteractive::ProtectFilesToLocal(Software("G2"), nullptr), 1);
    ISoftInfoInc::_SoftInfo failing = Software("G3");
    failing.files = {SoftwareFile("1", "D:\\missing.exe")};
    EXPECT_EQ(IWebInteractive::ProtectFilesToLocal(failing, nullptr), 0);
    // Protecting G1 again replaces its entry rather than adding one.
    ASSERT_EQ(IWebInteractive::ProtectFilesToLocal(Software("G1", "4"), nullptr), 1);
    std::vector<std::string> guids;
    for (const auto& pair : UserDocumentPairs()) guids.push_back(pair.first);
    EXPECT_EQ(guids, (std::vector<std::string>{"G2", "G3", "G1"}));
    EXPECT_EQ(IWebInteractive::GetProtectedVersion("G1"), 4);
    EXPECT_FALSE(Exists(std::string(kStoreRoot) + "G1\\3"));
}

}  // namespace
