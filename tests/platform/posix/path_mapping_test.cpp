// Windows paths onto the prefix: drive letters, "..", paths that name no drive.
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
    EXPECT_EQ(Normalised("dir\\x"), "dir\\x");
    EXPECT_EQ(Normalised(".\\"), ".");
}

TEST(WindowsPath, DotDotNeverClimbsAboveTheRoot) {
    EXPECT_EQ(Normalised("D:\\..\\x"), "D:\\x");
    EXPECT_EQ(Normalised("D:\\a\\..\\..\\..\\x"), "D:\\x");
    EXPECT_EQ(Normalised("D:\\a/../../etc"), "D:\\etc");
    EXPECT_EQ(Normalised("..\\..\\x"), "x");
}

TEST(WindowsPath, RefusesPathsOnNoDrive) {
    EXPECT_EQ(Normalised(""), "<none>");
    EXPECT_EQ(Normalised("\\\\server\\share\\x"), "<none>");
    EXPECT_EQ(Normalised("//server/share"), "<none>");
    EXPECT_EQ(Normalised("\\x"), "<none>");
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
    ASSERT_TRUE(ToHostPath("dir\\..\\..\\x", host));
    EXPECT_EQ(host, "x");
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
