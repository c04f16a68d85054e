// The exported string and directory utilities, the query encoder and the text helpers.
#include <gtest/gtest.h>

#include <list>
#include <string>

#include "frame/query.h"
#include "frame/text.h"
#include "scripted_machine.h"
#include "support/gbk_locale.h"
#include "support/temp_machine.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/frame.h"

namespace {

TEST(CleanString, RemovesControlCharactersOnly) {
    std::string text = "a\tb\r\nc\x01\x1f d\x7f\xd6\xd0";
    EXPECT_STREQ(IWebInteractive::CleanString(text), "abc d\x7f\xd6\xd0");
    EXPECT_EQ(text, "a\tb\r\nc\x01\x1f d\x7f\xd6\xd0");  // the input is left alone
    std::string plain = "no controls here";
    EXPECT_STREQ(IWebInteractive::CleanString(plain), "no controls here");
    std::string empty;
    EXPECT_STREQ(IWebInteractive::CleanString(empty), "");
}

TEST(EncodeQueryValue, OnlyAsciiLettersAndDigitsStayPlain) {
    std::string value = "a b.c";
    EXPECT_EQ(&wi::frame::EncodeQueryValue(value), &value);
    EXPECT_EQ(value, "a%20b%2ec");
    std::string mixed = "Az09-_~/?&=%\xd6\xd0\xff";
    EXPECT_EQ(wi::frame::EncodeQueryValue(mixed), "Az09%2d%5f%7e%2f%3f%26%3d%25%d6%d0%ff");
    std::string empty;
    EXPECT_EQ(wi::frame::EncodeQueryValue(empty), "");
}

TEST(QueryParameters, JoinWithQuestionMarkOrAmpersand) {
    using wi::frame::AppendQueryParameter;
    using wi::frame::AppendQueryParameterFirstMarkOnly;
    EXPECT_EQ(AppendQueryParameter("http://s/a", "filename=x"), "http://s/a?filename=x");
    EXPECT_EQ(AppendQueryParameter("http://s/a?k=1", "filename=x"), "http://s/a?k=1&filename=x");
    EXPECT_EQ(AppendQueryParameter("?k=1", "m=2"), "?k=1&m=2");
    EXPECT_EQ(AppendQueryParameterFirstMarkOnly("http://s/a", "m=2"), "http://s/a?m=2");
    EXPECT_EQ(AppendQueryParameterFirstMarkOnly("http://s/a?k=1", "m=2"), "http://s/a?k=1&m=2");
    EXPECT_EQ(AppendQueryParameterFirstMarkOnly("?k=1", "m=2"), "?k=1?m=2");
    EXPECT_EQ(AppendQueryParameterFirstMarkOnly("?k?j", "m=2"), "?k?j?m=2");
}

TEST(ReplaceAll, LeftToRightWithoutRescanning) {
    std::string text = "aaa";
    EXPECT_EQ(wi::frame::ReplaceAll(text, "a", "aa"), "aaaaaa");
    text = "x--y--z";
    EXPECT_EQ(wi::frame::ReplaceAll(text, "--", "\\"), "x\\y\\z");
    text = "aaaa";
    EXPECT_EQ(wi::frame::ReplaceAll(text, "aa", "b"), "bb");
    text = "same";
    EXPECT_EQ(wi::frame::ReplaceAll(text, "", "x"), "same");
    text = "a.b.c";
    EXPECT_EQ(wi::frame::EraseAll(text, "."), "abc");
    EXPECT_EQ(wi::frame::EraseAll(text, ""), "abc");
}

class Commands : public ::testing::Test {
protected:
    bool IsDirectory(const std::string& path) { return CXFileOperator::IsDirectory(path); }
    wi::test::TempMachine machine;
};

TEST_F(Commands, ExcuseDosCommandRunsTheCommandInterpreter) {
    std::string command = "/c mkdir \"D:\\made by cmd\"";
    IWebInteractive::ExcuseDosCommand(command);
    EXPECT_TRUE(IsDirectory("D:\\made by cmd"));
}

TEST_F(Commands, ExcuseDosCommandWithoutASystemFolderRunsNothing) {
    wi::test::ScriptedMachine scripted;
    scripted.fixedDrives = "CD";
    scripted.realFolders = false;
    std::string command = "/c mkdir \"D:\\never\"";
    IWebInteractive::ExcuseDosCommand(command);
    EXPECT_FALSE(CXFileOperator::PathExists("D:\\never"));
}

TEST_F(Commands, MakesureDirExistMakesEveryFolderOfThePath) {
    std::string path = "D:\\a\\b";
    IWebInteractive::MakesureDirExist(path);
    EXPECT_TRUE(IsDirectory("D:\\a"));
    EXPECT_TRUE(IsDirectory("D:\\a\\b"));
    std::string sibling = "D:\\a\\c\\";
    IWebInteractive::MakesureDirExist(sibling);
    EXPECT_TRUE(IsDirectory("D:\\a\\c"));
}

TEST_F(Commands, MakesureDirExistCollapsesDoubledSeparators) {
    std::string path = "D:\\x\\\\y";
    IWebInteractive::MakesureDirExist(path);
    EXPECT_TRUE(IsDirectory("D:\\x\\y"));
}

// A double quote would end the quoted path of the mkdir command and let the rest name others.
TEST_F(Commands, MakesureDirExistRefusesAPathHoldingAQuote) {
    std::string path = "D:\\mk\" \"D:\\injected";
    IWebInteractive::MakesureDirExist(path);
    std::list<std::string> made;
    CXFileOperator::ListDirectory("D:\\", made);
    EXPECT_EQ(made, std::list<std::string>());
}

// In GBK the byte of "\" is also a trail byte (淺 is 9C 5C): one name, one directory.
TEST_F(Commands, MakesureDirExistTakesGbkPathsApartByCharacter) {
    wi::test::GbkLocale gbk;
    if (!gbk.Active()) GTEST_SKIP() << gbk.Reason();
    const std::string shallowWater = "\x9c\x5c\xcb\xae";  // 淺水
    std::string path = "D:\\gbk\\" + shallowWater;
    IWebInteractive::MakesureDirExist(path);
    std::list<std::string> made;
    CXFileOperator::ListDirectory("D:\\gbk", made);
    EXPECT_EQ(made, std::list<std::string>{path});
}

}  // namespace
