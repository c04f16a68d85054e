// RestoreConfig: the stored configuration document found through the protect document, read
// through "C:\Config.xml", each entry handed to the repair library and reported.
#include <gtest/gtest.h>

#include <list>
#include <string>

#include "store/protected_table.h"
#include "store_fixture.h"
#include "webinteractive/repair.h"
#include "webinteractive/store.h"

namespace {

constexpr const char* kProtectXml = "D:\\qel_protect\\software\\G1\\Protect.xml";
constexpr const char* kStoredConfig = "D:\\store\\Config.xml";  // as protect_version_7.xml says

class RestoreConfigTest : public wi::test::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        soft.GUID = "G1";
        for (const char* name : {"a", "b", "c"}) {
            IFileInfoInc::_FileInfo file;
            file.Name = name;
            soft.files.insert(file);
        }
        soft.dependences.insert(IDepInfoInc::_DepInfo());
        for (const char* key : {"x", "y"}) {
            IConfInfoInc::_ConfInfo config;
            config.Key = key;
            soft.configs.insert(config);
        }
    }
    void TearDown() override {
        IWebInteractive::GetLogInc()->SetParam("", "", "");
        StoreTest::TearDown();
    }
    void Protect(const std::string& protectFixture, const std::string& configFixture) {
        PutFixture(protectFixture, kProtectXml);
        if (!configFixture.empty()) PutFixture(configFixture, kStoredConfig);
        wi::store::RememberProtection("G1", kProtectXml);
    }
    // Restores with the log's operation type set to `type`.
    int Restore(const char* type) {
        IWebInteractive::GetLogInc()->SetParam("<Logs/>", type, "test");
        entry = LogInfo();
        lines.clear();
        return IWebInteractive::RestoreConfig(soft, entry);
    }
    std::list<std::string> Details(std::initializer_list<const char*> details) const {
        return {details.begin(), details.end()};
    }

    ISoftInfoInc::_SoftInfo soft;
    LogInfo entry;
};

TEST_F(RestoreConfigTest, InstallsEveryEntryAndReportsItInTheLogsWords) {
    Protect("protect_version_7.xml", "config_entries.xml");

    EXPECT_EQ(0, Restore("repair"));  // K3 has no key path and cannot be installed
    EXPECT_EQ(Details({"配置项K1 修复成功", "配置项K2 修复成功", "配置项K3 修复失败"}),
              entry.details);
    EXPECT_EQ("", entry.result);
    // Every child node counts, the comment too; the indentation does not.
    EXPECT_EQ(std::vector<std::string>({"正在解析文件C:\\Config.xml...",
                                        "正在恢复注册表项:K1...1 of 6",
                                        "正在恢复注册表项:K2...3 of 6",
                                        "正在恢复注册表项:K3...4 of 6"}),
              lines);
    EXPECT_FALSE(Exists("C:\\Config.xml"));

    // The entries reached the registry with the document's Type (0 when missing) and the default
    // Action: K1's "Action" 2 in the document would have removed it.
    std::list<IConfInfoInc::_ConfInfo> installed;
    ASSERT_TRUE(ISoftRepairInc::ListInstalledConf(installed));
    ASSERT_EQ(2u, installed.size());
    EXPECT_EQ("K1", installed.front().Key);
    EXPECT_EQ("one", installed.front().Value);
    EXPECT_EQ(4, installed.front().Type);
    EXPECT_EQ("K2", installed.back().Key);
    EXPECT_EQ(0, installed.back().Type);

    EXPECT_EQ(0, Restore("restore"));
    EXPECT_EQ(Details({"配置项K1 恢复成功", "配置项K2 恢复成功", "配置项K3 恢复失败"}),
              entry.details);
    EXPECT_EQ(0, Restore("Repair"));  // compared exactly: no words
    EXPECT_EQ(Details({"配置项K1 ", "配置项K2 ", "配置项K3 "}), entry.details);
    EXPECT_FALSE(Exists("C:\\Config.xml"));
}

TEST_F(RestoreConfigTest, WithoutAUsableStoredDocumentNothingIsInstalled) {
    // Not protected at all, no configuration item, or the stored document gone: 0, silently.
    EXPECT_EQ(0, Restore("repair"));
    Protect("config_protect_without_config.xml", "");
    EXPECT_EQ(0, Restore("repair"));
    Protect("protect_version_7.xml", "");
    EXPECT_EQ(0, Restore("repair"));
    EXPECT_TRUE(lines.empty());
    EXPECT_TRUE(entry.details.empty());

    // A document that does not parse: 0 after the parsing line.
    Protect("protect_version_7.xml", "not_xml.xml");
    EXPECT_EQ(0, Restore("repair"));
    EXPECT_EQ(std::vector<std::string>({"正在解析文件C:\\Config.xml..."}), lines);

    // Another root: 1, nothing installed or reported.
    Protect("protect_version_7.xml", "config_other_root.xml");
    EXPECT_EQ(1, Restore("repair"));
    EXPECT_TRUE(entry.details.empty());
    std::list<IConfInfoInc::_ConfInfo> installed;
    ASSERT_TRUE(ISoftRepairInc::ListInstalledConf(installed));
    EXPECT_TRUE(installed.empty());
    EXPECT_FALSE(Exists("C:\\Config.xml"));
}

}  // namespace
