// RestoreConfig: the stored configuration document found through the protect document, read
// through "C:\Config.xml", each entry handed to the repair library and reported.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config_restore_fixture.h"

namespace {

class RestoreConfigTest : public wi::test::RestoreConfigFixture {};

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
    EXPECT_FALSE(Exists("C:\\Config.xml"));
}

}  // namespace
