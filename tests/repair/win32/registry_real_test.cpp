// Configuration entries applied to the real registry, read back as the system's own "reg export"
// writes them.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <list>
#include <sstream>
#include <string>

#include "platform/codepage.h"
#include "platform/machine.h"
#include "platform/process.h"
#include "repair/conf_entry.h"
#include "webinteractive/repair.h"

namespace {

using IConfInfoInc::_ConfInfo;
namespace fs = std::filesystem;

const std::string kKey = "HKEY_CURRENT_USER\\Software\\webinteractive-test";

using wi::test::Entry;

// The key as "reg export" writes it, in UTF-8 ("" when it cannot be exported).
std::string ExportedKey() {
    std::string system;
    if (!wi::platform::CurrentMachine().GetSpecialFolder(wi::platform::kSystemFolder, system)) {
        return "";
    }
    const std::string file = (fs::temp_directory_path() / "webinteractive-test.reg").string();
    std::remove(file.c_str());
    const std::string command =
        "cmd.exe /c reg export \"HKCU\\Software\\webinteractive-test\" \"" + file + "\" /y";
    if (!wi::platform::RunHiddenAndWait(system + "\\cmd.exe", command)) return "";
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    std::remove(file.c_str());
    std::string utf16 = bytes.str(), utf8;
    if (utf16.compare(0, 2, "\xff\xfe") == 0) utf16.erase(0, 2);
    if (!wi::platform::ConvertEncoding("UTF-16LE", "UTF-8", utf16, utf8)) return "";
    std::string lines;  // without the CRs of the file's line ends
    for (char c : utf8) {
        if (c != '\r') lines += c;
    }
    return lines;
}

TEST(RealRegistry, EntriesAreWrittenInTheFormOfTheirTypeAndRemoved) {
    using ISoftRepairInc::InstallConf;
    ASSERT_TRUE(InstallConf(Entry(kKey, "text", "C:\\Program Files\\V", 1)));
    ASSERT_TRUE(InstallConf(Entry(kKey, "number", "-1", 4)));
    ASSERT_TRUE(InstallConf(Entry(kKey, "NUMBER64", "0x10", 11)));
    ASSERT_TRUE(InstallConf(Entry(kKey, "bytes", "01 ff,A0", 3)));
    ASSERT_TRUE(InstallConf(Entry(kKey, "lines", "a\nb", 7)));
    ASSERT_TRUE(InstallConf(Entry(kKey, "", "default", 1)));
    std::string chineseName, chineseData;
    const bool chinese = wi::platform::Utf8ToNarrow("\xe5\x90\x8d", chineseName) &&
                         wi::platform::Utf8ToNarrow("\xe5\x80\xbc", chineseData);
    if (chinese) {
        ASSERT_TRUE(InstallConf(Entry(kKey, chineseName, chineseData, 1)));
    }

    // Refused, changing nothing: data its type cannot take, a key of no root, a control
    // character in the key, a NUL in the name.
    EXPECT_FALSE(InstallConf(Entry(kKey, "number", "twelve", 4)));
    EXPECT_FALSE(InstallConf(Entry(kKey, "number", "4294967296", 4)));
    EXPECT_FALSE(InstallConf(Entry(kKey, "bytes", "0", 3)));
    EXPECT_FALSE(InstallConf(Entry("HKEY_NOWHERE\\Software", "x", "1", 1)));
    EXPECT_FALSE(InstallConf(Entry(kKey + "\tx", "x", "1", 1)));
    EXPECT_FALSE(InstallConf(Entry(kKey, std::string("a\0b", 3), "1", 1)));

    std::string exported = ExportedKey();
    ASSERT_NE(exported, "");
    for (const char* line : {"\"text\"=\"C:\\\\Program Files\\\\V\"\n",
                             "\"number\"=dword:ffffffff\n",
                             "\"NUMBER64\"=hex(b):10,00,00,00,00,00,00,00\n",
                             "\"bytes\"=hex:01,ff,a0\n",
                             "\"lines\"=hex(7):61,00,00,00,62,00,00,00,00,00\n",
                             "@=\"default\"\n"}) {
        EXPECT_NE(exported.find(line), std::string::npos) << line << " in\n" << exported;
    }
    if (chinese) {
        const std::string line = "\"\xe5\x90\x8d\"=\"\xe5\x80\xbc\"\n";  // "名"="值"
        EXPECT_NE(exported.find(line), std::string::npos) << exported;
    }

    // Any action but 1 removes the value, names compared without regard to case; removing
    // what is not there, under a key that is not there either, succeeds.
    for (const char* name : {"TEXT", "number", "number64", "bytes", "lines", ""}) {
        EXPECT_TRUE(InstallConf(Entry(kKey, name, "", 1, 2))) << name;
    }
    if (chinese) {
        EXPECT_TRUE(InstallConf(Entry(kKey, chineseName, "", 1, 0)));
    }
    EXPECT_TRUE(InstallConf(Entry(kKey, "text", "", 1, 2)));
    EXPECT_TRUE(InstallConf(Entry(kKey + "\\no-such-key", "x", "", 1, 2)));
    exported = ExportedKey();
    EXPECT_EQ(exported.find("=\""), std::string::npos) << exported;
    EXPECT_EQ(exported.find("=hex"), std::string::npos) << exported;
    EXPECT_EQ(exported.find("=dword"), std::string::npos) << exported;

    std::list<_ConfInfo> listed(1);
    EXPECT_FALSE(ISoftRepairInc::ListInstalledConf(listed));  // the real registry is not listed
    EXPECT_TRUE(listed.empty());
}

}  // namespace
