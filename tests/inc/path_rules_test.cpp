// CXFileOperator's rules on path names, and the messages of its exceptions.
#include <gtest/gtest.h>

#include <list>
#include <string>
#include <vector>

#include "inc/file_error.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "support/gbk_locale.h"
#include "support/temp_machine.h"
#include "webinteractive/FileOperator.h"

namespace {

std::string Narrow(const std::string& utf8) {
    std::string narrow;
    return wi::platform::Utf8ToNarrow(utf8, narrow) ? narrow : utf8;
}

TEST(IsAbsolutePath, DriveLettersAndNetworkPaths) {
    EXPECT_TRUE(CXFileOperator::IsAbsolutePath("\\\\server\\share"));
    EXPECT_TRUE(CXFileOperator::IsAbsolutePath("D:/x"));
    EXPECT_TRUE(CXFileOperator::IsAbsolutePath("x:"));
    EXPECT_TRUE(CXFileOperator::IsAbsolutePath("//server/share"));
    EXPECT_FALSE(CXFileOperator::IsAbsolutePath("1:\\x"));
    EXPECT_FALSE(CXFileOperator::IsAbsolutePath("D:\\a\\\\b"));
    EXPECT_FALSE(CXFileOperator::IsAbsolutePath("D:/a//b"));
    EXPECT_FALSE(CXFileOperator::IsAbsolutePath("\\\\server\\\\share"));
    EXPECT_FALSE(CXFileOperator::IsAbsolutePath("C"));
    EXPECT_FALSE(CXFileOperator::IsAbsolutePath(""));
    EXPECT_FALSE(CXFileOperator::IsAbsolutePath("dir\\file"));
    EXPECT_FALSE(CXFileOperator::IsAbsolutePath("\\dir"));
    EXPECT_FALSE(CXFileOperator::IsAbsolutePath("\xd6:\\x"));  // a lead byte is no letter
}

TEST(GetFileName, TextAfterTheLastBackslash) {
    EXPECT_EQ(CXFileOperator::GetFileName("D:\\dir\\file.txt"), "file.txt");
    EXPECT_EQ(CXFileOperator::GetFileName("file.txt"), "file.txt");
    EXPECT_EQ(CXFileOperator::GetFileName("D:\\dir\\"), "");
    EXPECT_EQ(CXFileOperator::GetFileName("D:/dir/file.txt"), "D:/dir/file.txt");
    EXPECT_EQ(CXFileOperator::GetFileName(""), "");
}

TEST(GetDirectoryPart, RelativePathsComeBackUnchanged) {
    EXPECT_EQ(CXFileOperator::GetDirectoryPart("dir\\file.txt"), "dir\\file.txt");
    EXPECT_EQ(CXFileOperator::GetDirectoryPart("D:\\a\\\\b"), "D:\\a\\\\b");
    EXPECT_EQ(CXFileOperator::GetDirectoryPart("D:/dir/"), "D:\\dir\\");
}

TEST(FileErrorMessage, CodeLineThenTextByRange) {
    EXPECT_EQ(wi::inc::FileErrorMessage(0xE0000001u),
              "code:-536870911\r\ninformation: \r\n" + Narrow("错误的文件名或路径名"));
    EXPECT_EQ(wi::inc::FileErrorMessage(0xE0000002u),
              "code:-536870910\r\ninformation: \r\n" + Narrow("未知错误"));
    EXPECT_EQ(wi::inc::FileErrorMessage(0xFFFFFFFFu),
              "code:-1\r\ninformation: \r\n" + Narrow("未知错误"));
    const std::string systemText = wi::platform::SystemErrorText(2);
    EXPECT_FALSE(systemText.empty());
    EXPECT_EQ(wi::inc::FileErrorMessage(2), "code:2\r\ninformation: \r\n" + systemText);
}

// Invalid paths are refused before anything touches the file system.
TEST(InsureDirectoryExist, BadPathsRaiseTheBadNameError) {
    const char* badPaths[] = {"D:\\\\dir",   "D:\\dir\\\\sub", "D:\\a*b",     "D:\\a?b",
                              "D:\\a\\b:c", "D:\\a/b",        "D:\\a\"b",    "D:\\a<b>",
                              "D:\\a|b",    "relative\\dir",  "\\\\srv\\\\x"};
    for (const char* path : badPaths) {
        SCOPED_TRACE(path);
        try {
            CXFileOperator::InsureDirectoryExist(path);
            ADD_FAILURE() << "no exception";
        } catch (const CXException& error) {
            // Read first, as a host would, before anything else can change it.
            const std::uint32_t lastError = wi::platform::LastError();
            EXPECT_EQ(error.operation, "CXFileOperator::InsureDirectoryExist");
            EXPECT_EQ(error.line, 1061);
            EXPECT_EQ(error.category, 2);
            EXPECT_EQ(error.sourceFile, "inc/FileOperator.h");
            EXPECT_EQ(std::string(error.what()), wi::inc::FileErrorMessage(0xE0000001u));
            EXPECT_EQ(lastError, CXFileOperator::kBadPathError);
        }
    }
}

TEST(InsureDirectoryExist, OverlongAndEmptyPathsDoNothing) {
    wi::test::TempMachine machine;
    const std::vector<std::string> before = machine.Tree("D:\\");
    // Valid names all along, so that only the length keeps the folders from being made.
    std::string overlong = "D:";
    while (overlong.size() + 6 <= 261) overlong += "\\abcde";
    overlong += std::string(261 - overlong.size(), 'f');
    ASSERT_EQ(overlong.size(), 261u);
    EXPECT_NO_THROW(CXFileOperator::InsureDirectoryExist(overlong));
    EXPECT_NO_THROW(CXFileOperator::InsureDirectoryExist(""));
    EXPECT_EQ(machine.Tree("D:\\"), before);
}

// In GBK the byte of "\" is also the trail byte of 118 characters, and that of "|" of as many:
// paths are taken apart by character, never at such a byte.
TEST(PathRules, DoubleByteTrailBytesAreNoSeparators) {
    wi::test::GbkLocale gbk;
    if (!gbk.Active()) GTEST_SKIP() << gbk.Reason();
    wi::test::TempMachine machine;
    const std::string shallow = "\x9c\x5c";                 // 淺
    const std::string shallowWater = shallow + "\xcb\xae";  // 淺水
    const std::string hundredMillion = "\x83\x7c";          // 億
    const std::string directory = "D:\\gbk\\" + shallowWater + "\\" + hundredMillion;

    CXFileOperator::InsureDirectoryExist(directory);
    const std::string hostGbk = machine.HostPath("D:\\gbk");
    std::list<std::string> entries;
    CXFileOperator::ListDirectory("D:\\gbk", entries);
    EXPECT_EQ(entries, std::list<std::string>{"D:\\gbk\\" + shallowWater});
    CXFileOperator::ListDirectory("D:\\gbk\\" + shallowWater, entries);
    EXPECT_EQ(entries, (std::list<std::string>{"D:\\gbk\\" + shallowWater, directory}));
    EXPECT_THROW(CXFileOperator::InsureDirectoryExist("D:\\gbk\\a|b"), CXException);

    wi::test::TempMachine::WriteHostFile(machine.HostPath("D:\\source.txt"), "copied");
    CXFileOperator::CopyFile("D:\\source.txt", directory + "\\" + shallow, false);
    EXPECT_EQ(wi::test::TempMachine::ReadHostFile(hostGbk + "/" + shallowWater + "/" +
                                                  hundredMillion + "/" + shallow),
              "copied");

    EXPECT_EQ(CXFileOperator::GetFileName(directory), hundredMillion);
    EXPECT_EQ(CXFileOperator::GetFileName("D:\\gbk\\" + shallowWater), shallowWater);
    EXPECT_EQ(CXFileOperator::GetFileName(shallow), shallow);
    EXPECT_EQ(CXFileOperator::GetDirectoryPart("D:\\gbk\\" + shallow), "D:\\gbk\\");
    EXPECT_EQ(CXFileOperator::GetDirectoryPart("D:\\gbk\\" + shallowWater),
              "D:\\gbk\\" + shallowWater + "\\");
    EXPECT_TRUE(CXFileOperator::IsAbsolutePath("D:\\" + shallow + "\\x"));

    // Listing a directory whose name ends in a trail byte 0x5C, and sizes across such names.
    CXFileOperator::InsureDirectoryExist("D:\\gbk\\" + shallow);
    CXFileOperator::CopyFile("D:\\source.txt", "D:\\gbk\\" + shallow + "\\f", false);
    entries.clear();
    CXFileOperator::ListDirectory("D:\\gbk\\" + shallow, entries);
    EXPECT_EQ(entries, std::list<std::string>{"D:\\gbk\\" + shallow + "\\f"});
    EXPECT_EQ(CXFileOperator::GetPathSize("D:\\gbk"), 12u);
}

}  // namespace
