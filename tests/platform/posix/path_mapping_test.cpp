// Windows paths onto the prefix: drive letters, "..", paths that name no drive.
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/posix/host_path.h"
#include "platform/posix/windows_path.h"
#include "support/temp_machine.h"

namespace wi::platform::posix {
namespace {

std::string Normalised(const std::string& text) {
    WindowsPath path;
    return ParseWindowsPath(text, path) ? FormatWindowsPath(path) : "<none>";
}

TEST(WindowsPath, NormalisesLikeWindows) {
    EXPECT_EQ(Normalised("d:\\a\\b"), "D:\\a\\b");
    EXPECT_EQ(Normalised("D:/a//b/"), "D:\\a\\b");
    EXPECT_EQ(Normalised("D:\\a\\.\\b\\..\\c"), "D:\\a\\c");
    EXPECT_EQ(Normalised("D:"), "D:\\");
    EXPECT_EQ(Normalised("D:x"), "D:\\x");
}

// The machine's current directory is C:\, so a path without a drive is a path on C:.
TEST(WindowsPath, PathsWithoutADriveLieBelowTheCurrentDirectory) {
    EXPECT_EQ(Normalised("victim.txt"), "C:\\victim.txt");
    EXPECT_EQ(Normalised("dir\\x"), "C:\\dir\\x");
    EXPECT_EQ(Normalised("\\x"), "C:\\x");
    EXPECT_EQ(Normalised("/x"), "C:\\x");
    EXPECT_EQ(Normalised("C:x"), "C:\\x");
    EXPECT_EQ(Normalised(".\\"), "C:\\");
    EXPECT_EQ(Normalised("..\\..\\x"), "C:\\x");
}

TEST(WindowsPath, DotDotNeverClimbsAboveTheRoot) {
    EXPECT_EQ(Normalised("D:\\..\\x"), "D:\\x");
    EXPECT_EQ(Normalised("D:\\a\\..\\..\\..\\x"), "D:\\x");
    EXPECT_EQ(Normalised("D:\\a/../../etc"), "D:\\etc");
}

TEST(WindowsPath, RefusesPathsOnNoDrive) {
    EXPECT_EQ(Normalised(""), "<none>");
    EXPECT_EQ(Normalised("\\\\server\\share\\x"), "<none>");
    EXPECT_EQ(Normalised("//server/share"), "<none>");
    EXPECT_EQ(Normalised(std::string("D:\\a\0b", 6)), "<none>");
    // A colon belongs only after the drive letter: a name holding one would read back as a drive.
    EXPECT_EQ(Normalised(".//D:./c"), "<none>");
    EXPECT_EQ(Normalised("C:\\a\\D:\\x"), "<none>");
}

TEST(HostPath, MapsThroughTheDriveEntry) {
    test::TempMachine machine;
    std::string host;
    ASSERT_TRUE(ToHostPath("d:\\Dir\\File.TXT", host));
    EXPECT_EQ(host, machine.Prefix() + "/dosdevices/d:/Dir/File.TXT");
    ASSERT_TRUE(ToHostPath("D:\\..\\..\\x", host));
    EXPECT_EQ(host, machine.Prefix() + "/dosdevices/d:/x");
    ASSERT_TRUE(ToHostPath("C:", host));
    EXPECT_EQ(host, machine.Prefix() + "/dosdevices/c:/");
}

// A relative Windows path never lands in the test process's own working directory.
TEST(HostPath, RelativePathsMapOntoDriveCNotTheWorkingDirectory) {
    test::TempMachine machine;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(machine.MakeHostDirectory("working"));
    std::string victim, climbing;
    const bool mapped = ToHostPath("victim.txt", victim) && ToHostPath("dir\\..\\..\\x", climbing);
    std::filesystem::current_path(previous);
    ASSERT_TRUE(mapped);
    EXPECT_EQ(victim, machine.Prefix() + "/dosdevices/c:/victim.txt");
    EXPECT_EQ(climbing, machine.Prefix() + "/dosdevices/c:/x");

    // Without drive C: a relative path maps nowhere.
    machine.RemoveDrive('c');
    SetLastError(0);
    EXPECT_FALSE(ToHostPath("victim.txt", victim));
    EXPECT_EQ(LastError(), 2u);  // ENOENT
}

TEST(HostPath, UnmappablePathsFailWithNotFound) {
    test::TempMachine machine;
    std::string host = "unchanged";
    SetLastError(0);
    EXPECT_FALSE(ToHostPath("\\\\server\\share\\x", host));
    EXPECT_EQ(LastError(), 2u);  // ENOENT
    EXPECT_EQ(host, "");
    SetLastError(0);
    EXPECT_FALSE(ToHostPath("Q:\\x", host));
    EXPECT_EQ(LastError(), 2u);
}

}  // namespace
}  // namespace wi::platform::posix
