// The cmd program: the three commands the library gives it, their parsing, and that it never
// reaches outside the path it was given.
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "support/gbk_locale.h"
#include "support/run_cmd.h"
#include "support/temp_machine.h"

namespace fs = std::filesystem;

namespace wi::test {
namespace {

class CmdTest : public ::testing::Test {
protected:
    bool Exists(const std::string& windowsPath) {
        return fs::exists(machine.HostPath(windowsPath));
    }
    std::uint32_t Attributes(const std::string& path) {
        std::uint32_t attributes = 0;
        EXPECT_TRUE(platform::GetFileAttributes(path, attributes)) << path;
        return attributes;
    }
    // Runs a command that must fail: exit 1 and one line on standard error.
    void ExpectRefused(const std::string& text) {
        CmdResult result = RunCmd(text);
        EXPECT_EQ(result.exitCode, 1) << text;
        ASSERT_FALSE(result.errorOutput.empty()) << text;
        EXPECT_EQ(result.errorOutput.find('\n'), result.errorOutput.size() - 1) << text;
    }

    TempMachine machine;
};

TEST_F(CmdTest, MkdirCreatesEveryMissingParent) {
    CmdResult result = RunCmd("/c mkdir \"D:\\qel_protect\\My Soft\\Dependence\\\"");
    EXPECT_EQ(result.exitCode, 0) << result.errorOutput;
    EXPECT_TRUE(fs::is_directory(machine.HostPath("D:\\qel_protect\\My Soft\\Dependence")));

    EXPECT_EQ(RunCmd("/C MD d:\\plain").exitCode, 0);
    EXPECT_TRUE(fs::is_directory(machine.HostPath("D:\\plain")));
    EXPECT_EQ(RunCmd("/c md \"D:\\with & amp\"").exitCode, 0);
    EXPECT_TRUE(Exists("D:\\with & amp"));
}

TEST_F(CmdTest, MkdirOfAnExistingPathOrThroughAFileFails) {
    ASSERT_EQ(RunCmd("/c md \"D:\\here\"").exitCode, 0);
    ExpectRefused("/c md \"D:\\here\"");
    ExpectRefused("/c md \"D:\\\"");
    TempMachine::WriteHostFile(machine.HostPath("D:\\file"), "x");
    ExpectRefused("/c md \"D:\\file\\sub\"");
    ExpectRefused("/c md \"Q:\\x\"");
    ExpectRefused("/c md \"\\\\server\\share\\x\"");
}

TEST_F(CmdTest, DotDotCannotLeaveTheDrive) {
    EXPECT_EQ(RunCmd("/c mkdir \"D:\\..\\..\\..\\escaped\"").exitCode, 0);
    EXPECT_TRUE(fs::is_directory(machine.HostPath("D:\\escaped")));
    EXPECT_FALSE(fs::exists(machine.Prefix() + "/escaped"));
    EXPECT_FALSE(fs::exists(machine.Root() + "/escaped"));

    // Removing "the parent of the root" is removing the root, which is refused.
    TempMachine::WriteHostFile(machine.HostPath("D:\\keep.txt"), "keep");
    ExpectRefused("/c rmdir /s /q \"D:\\..\\\"");
    ExpectRefused("/c rd /s /q \"D:\\a/../..\"");
    EXPECT_TRUE(Exists("D:\\keep.txt"));
    EXPECT_TRUE(fs::exists(machine.Prefix() + "/drive_c"));
}

// A path without a drive lies on C:, the machine's current directory, wherever cmd is started.
TEST_F(CmdTest, PathsWithoutADriveLieOnDriveC) {
    const std::string working = machine.MakeHostDirectory("working");
    const fs::path previous = fs::current_path();
    fs::current_path(working);
    CmdResult relative = RunCmd("/c md \"rel\\dir\"");
    CmdResult rooted = RunCmd("/c md \\rooted");
    fs::current_path(previous);
    EXPECT_EQ(relative.exitCode, 0) << relative.errorOutput;
    EXPECT_EQ(rooted.exitCode, 0) << rooted.errorOutput;
    EXPECT_TRUE(fs::is_directory(machine.HostPath("C:\\rel\\dir")));
    EXPECT_TRUE(fs::is_directory(machine.HostPath("C:\\rooted")));
    EXPECT_TRUE(fs::is_empty(working));
    ExpectRefused("/c rd /s /q .");  // the current directory is the root of C:
    EXPECT_TRUE(Exists("C:\\rooted"));
}

TEST_F(CmdTest, AttribSetsAndClearsDosAttributes) {
    ASSERT_EQ(RunCmd("/c md \"D:\\store dir\"").exitCode, 0);
    CmdResult result = RunCmd("/c attrib +h +s +r \"D:\\store dir\"");
    EXPECT_EQ(result.exitCode, 0) << result.errorOutput;
    EXPECT_EQ(Attributes("D:\\store dir"), platform::kAttrDirectory | platform::kAttrHidden |
                                               platform::kAttrSystem | platform::kAttrReadOnly);
    EXPECT_EQ(RunCmd("/c attrib -R -s \"D:\\store dir\"").exitCode, 0);
    EXPECT_EQ(Attributes("D:\\store dir"), platform::kAttrDirectory | platform::kAttrHidden);

    TempMachine::WriteHostFile(machine.HostPath("D:\\f.txt"), "x");
    EXPECT_EQ(RunCmd("/c attrib +r D:\\f.txt").exitCode, 0);
    EXPECT_EQ(Attributes("D:\\f.txt"), platform::kAttrReadOnly);

    ExpectRefused("/c attrib +h \"D:\\missing\"");
    ExpectRefused("/c attrib +x \"D:\\f.txt\"");
}

TEST_F(CmdTest, LinksAreNeverFollowed) {
    std::string outside = machine.MakeHostDirectory("outside");
    TempMachine::WriteHostFile(outside + "/precious.txt", "keep");
    fs::create_directory_symlink(outside, machine.HostPath("D:\\link"));
    ExpectRefused("/c attrib +h +s +r \"D:\\link\"");
    ExpectRefused("/c attrib +h +s +r \"D:\\link\\\"");
    EXPECT_EQ(RunCmd("/c rd /s /q \"D:\\link\"").exitCode, 0);
    EXPECT_FALSE(fs::is_symlink(machine.HostPath("D:\\link")));
    EXPECT_EQ(TempMachine::ReadHostFile(outside + "/precious.txt"), "keep");
}

TEST_F(CmdTest, RmdirSKeepsWhatAHostNameWithBackslashesWouldReach) {
    // On the host a name may hold backslashes; read as a Windows path it would climb out. The
    // walk removes entries by name inside the directory it holds open, so only the entry goes.
    ASSERT_EQ(RunCmd("/c md \"D:\\tree\\a\"").exitCode, 0);
    TempMachine::WriteHostFile(machine.HostPath("D:\\keep.txt"), "keep");
    TempMachine::WriteHostFile(machine.HostPath("D:\\tree") + "/..\\keep.txt", "x");
    CmdResult result = RunCmd("/c rd /s /q \"D:\\tree\"");
    EXPECT_EQ(result.exitCode, 0) << result.errorOutput;
    EXPECT_EQ(TempMachine::ReadHostFile(machine.HostPath("D:\\keep.txt")), "keep");
    EXPECT_FALSE(Exists("D:\\tree"));
}

// A directory swapped for a link to outside while rd /s /q empties it: the walk keeps to the
// directory it opened, so every outside file survives whenever the swap lands.
TEST_F(CmdTest, RmdirSNeverEntersADirectorySwappedForALink) {
    const int kFiles = 1000;
    std::string outside = machine.MakeHostDirectory("outside");
    for (int i = 0; i < kFiles; ++i) {
        TempMachine::WriteHostFile(outside + "/f" + std::to_string(i), "keep");
    }
    const std::string victim = machine.HostPath("D:\\victim");
    int swaps = 0;
    for (int round = 0; round < 20 && swaps == 0; ++round) {
        fs::create_directories(victim + "/sub");
        for (int i = 0; i < kFiles; ++i) {
            TempMachine::WriteHostFile(victim + "/sub/f" + std::to_string(i), "x");
        }
        std::atomic<bool> done{false};
        std::thread remover([&done] {
            RunCmd("/c rd /s /q \"D:\\victim\"");
            done = true;
        });
        // As soon as the walk has removed a file of sub, a link to outside takes sub's place.
        const std::string moved = machine.HostPath("D:\\moved") + std::to_string(round);
        while (!done) {
            std::error_code error;
            std::size_t left = 0;
            for (fs::directory_iterator it(victim + "/sub", error), end; !error && it != end;
                 it.increment(error)) {
                ++left;
            }
            if (error) break;  // sub is gone: the walk was quicker
            if (left < static_cast<std::size_t>(kFiles)) {
                fs::rename(victim + "/sub", moved, error);
                if (!error) {
                    fs::create_directory_symlink(outside, victim + "/sub");
                    ++swaps;
                }
                break;
            }
        }
        remover.join();
        std::size_t kept = 0;
        for (const auto& entry : fs::directory_iterator(outside)) kept += entry.is_regular_file();
        ASSERT_EQ(kept, static_cast<std::size_t>(kFiles)) << "round " << round;
        std::error_code ignored;
        fs::remove_all(victim, ignored);
        fs::remove_all(moved, ignored);
    }
    EXPECT_GT(swaps, 0);
}

TEST_F(CmdTest, RmdirWithoutSRemovesOnlyAnEmptyDirectory) {
    ASSERT_EQ(RunCmd("/c md \"D:\\full\\sub\"").exitCode, 0);
    ExpectRefused("/c rmdir \"D:\\full\"");
    EXPECT_TRUE(Exists("D:\\full\\sub"));
    EXPECT_EQ(RunCmd("/c rd \"D:\\full\\sub\"").exitCode, 0);
    EXPECT_FALSE(Exists("D:\\full\\sub"));
    TempMachine::WriteHostFile(machine.HostPath("D:\\file"), "x");
    ExpectRefused("/c rd /s /q \"D:\\file\"");
    EXPECT_TRUE(Exists("D:\\file"));
}

TEST_F(CmdTest, RmdirSRemovesAProtectedTreeButNotWhatLinksPointAt) {
    ASSERT_EQ(RunCmd("/c md \"D:\\qel_protect\\soft\\Dependence\"").exitCode, 0);
    TempMachine::WriteHostFile(machine.HostPath("D:\\qel_protect\\soft\\a.dll"), "a");
    TempMachine::WriteHostFile(machine.HostPath("D:\\qel_protect\\soft\\Dependence\\b.dll"), "b");
    ASSERT_TRUE(
        platform::SetFileAttributes("D:\\qel_protect\\soft\\a.dll", platform::kAttrReadOnly));
    ASSERT_EQ(RunCmd("/c attrib +h +s +r \"D:\\qel_protect\"").exitCode, 0);
    ASSERT_EQ(RunCmd("/c attrib +h +s +r \"D:\\qel_protect\\soft\"").exitCode, 0);
    std::string outside = machine.MakeHostDirectory("outside");
    TempMachine::WriteHostFile(outside + "/precious.txt", "keep");
    fs::create_directory_symlink(outside, machine.HostPath("D:\\qel_protect\\soft\\link"));

    CmdResult result = RunCmd("/c rmdir /s /q \"D:\\qel_protect\"");
    EXPECT_EQ(result.exitCode, 0) << result.errorOutput;
    EXPECT_FALSE(Exists("D:\\qel_protect"));
    EXPECT_EQ(TempMachine::ReadHostFile(outside + "/precious.txt"), "keep");
}

TEST_F(CmdTest, AnythingElseIsRefusedAndNothingRuns) {
    ExpectRefused("mkdir \"D:\\a\"");
    ExpectRefused("/c");
    ExpectRefused("/c del \"D:\\a\"");
    ExpectRefused("/c mkdir \"D:\\a");
    ExpectRefused("/c mkdir D:\\a & mkdir D:\\b");
    ExpectRefused("/c mkdir D:\\a > D:\\out");
    ExpectRefused("/c rmdir /x \"D:\\a\"");
    ExpectRefused("/c mkdir");
    EXPECT_FALSE(Exists("D:\\a"));
    EXPECT_FALSE(Exists("D:\\b"));
    EXPECT_FALSE(Exists("D:\\out"));
}

// cmd reads its text in the locale it is started in: in GBK the bytes of "\" and "|" are also
// trail bytes (淺 is 9C 5C, 億 is 83 7C), which neither split a path nor count as an operator.
TEST_F(CmdTest, GbkTrailBytesAreNeitherSeparatorsNorOperators) {
    GbkLocale gbk;
    if (!gbk.Active()) GTEST_SKIP() << gbk.Reason();
    const std::string shallowWater = "\x9c\x5c\xcb\xae", hundredMillion = "\x83\x7c";
    CmdResult result =
        RunCmd("/c md D:\\gbk\\" + hundredMillion + " \"D:\\gbk\\" + shallowWater + "\"");
    EXPECT_EQ(result.exitCode, 0) << result.errorOutput;
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(machine.Prefix() + "/dosdevices/d:/gbk")) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{hundredMillion, shallowWater}));
}

// The library names the locale its text was written in; when that cannot be loaded, cmd reads
// nothing in another code page and changes nothing.
TEST_F(CmdTest, ALocaleThatCannotBeLoadedIsRefused) {
    setenv("WEBINTERACTIVE_LC_CTYPE", "xx_NOWHERE.GBK", 1);
    ExpectRefused("/c md \"D:\\made\"");
    unsetenv("WEBINTERACTIVE_LC_CTYPE");
    EXPECT_FALSE(Exists("D:\\made"));
}

}  // namespace
}  // namespace wi::test
