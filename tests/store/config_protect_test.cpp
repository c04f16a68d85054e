// ProtectConfig: the configuration document of a set of entries.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "store_fixture.h"
#include "webinteractive/store.h"

namespace {

using ProtectConfigTest = wi::test::StoreTest;

TEST_F(ProtectConfigTest, WritesOneCfgPerEntryInTheRecordsOrder) {
    std::set<IConfInfoInc::_ConfInfo> configs;
    IConfInfoInc::_ConfInfo first;
    first.Source = "HKEY_LOCAL_MACHINE\\Software\\\x01" "App";
    first.Key = "A\tkey";
    first.Value = "v\r\n1";
    first.Type = -4;
    first.Action = 2;
    configs.insert(first);
    IConfInfoInc::_ConfInfo second;
    second.Key = "B";
    second.delflag = false;
    configs.insert(second);

    const std::string path = IWebInteractive::ProtectConfig(configs);
    ASSERT_EQ(0u, path.find("C:\\users\\Public\\Documents\\ConfigTemp")) << path;
    wi::xml::Document document;
    ASSERT_TRUE(document.ParseFile(path));
    const wi::xml::Element root = document.Root();
    EXPECT_EQ("Configration", root.Name());
    const std::vector<wi::xml::Element> cfgs = root.Children();
    ASSERT_EQ(2u, cfgs.size());
    // In the records' order, by Source first: the entry without a Source comes first.
    const wi::xml::Element b = cfgs[0];
    const wi::xml::Element a = cfgs[1];
    std::vector<std::string> names;
    for (const wi::xml::Element& child : a.Children()) names.push_back(child.Name());
    EXPECT_EQ(std::vector<std::string>({"Source", "Key", "Value", "Type", "delflag", "Action"}),
              names);
    // Texts without control characters; numbers and the flag in decimal.
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\Software\\App", a.FirstChild("Source").Text());
    EXPECT_EQ("Akey", a.FirstChild("Key").Text());
    EXPECT_EQ("v1", a.FirstChild("Value").Text());
    EXPECT_EQ("-4", a.FirstChild("Type").Text());
    EXPECT_EQ("1", a.FirstChild("delflag").Text());
    EXPECT_EQ("2", a.FirstChild("Action").Text());
    EXPECT_EQ("B", b.FirstChild("Key").Text());
    EXPECT_EQ("0", b.FirstChild("delflag").Text());
    EXPECT_EQ("1", b.FirstChild("Action").Text());
    std::vector<std::string> configLines;
    for (const std::string& line : lines) {
        if (line.rfind("正在保护配置信息", 0) == 0) configLines.push_back(line);
    }
    EXPECT_EQ((std::vector<std::string>{"正在保护配置信息...B", "正在保护配置信息...A\tkey"}),
              configLines);

    // An empty set: an empty root, at a new path.
    const std::string empty = IWebInteractive::ProtectConfig({});
    EXPECT_NE(path, empty);
    ASSERT_TRUE(document.ParseFile(empty));
    EXPECT_EQ("Configration", document.Root().Name());
    EXPECT_TRUE(document.Root().ChildNodes().empty());
}

}  // namespace
