// CXFileOperator on an emulated machine: copying, deleting, directories, sizes and disk space.
#include <gtest/gtest.h>

#include <filesystem>
#include <list>
#include <string>

#include "inc/file_error.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "support/forwarding_machine.h"
#include "support/host.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "webinteractive/FileOperator.h"

namespace {

using wi::test::TempMachine;

class FileOperator : public ::testing::Test {
protected:
    void Write(const std::string& windowsPath, const std::string& content) {
        TempMachine::WriteHostFile(machine.HostPath(windowsPath), content);
    }
    std::string Read(const std::string& windowsPath) {
        return TempMachine::ReadHostFile(machine.HostPath(windowsPath));
    }
    std::uint32_t Attributes(const std::string& windowsPath) {
        std::uint32_t attributes = 0;
        EXPECT_TRUE(wi::platform::GetFileAttributes(windowsPath, attributes));
        return attributes;
    }

    TempMachine machine;
};

TEST_F(FileOperator, ExistenceOfFilesAndDirectories) {
    Write("D:\\file.txt", "x");
    EXPECT_TRUE(CXFileOperator::PathExists("D:\\file.txt"));
    EXPECT_FALSE(CXFileOperator::IsDirectory("D:\\file.txt"));
    EXPECT_TRUE(CXFileOperator::PathExists("D:\\"));
    EXPECT_TRUE(CXFileOperator::IsDirectory("D:\\"));
    EXPECT_FALSE(CXFileOperator::PathExists("D:\\missing"));
    EXPECT_FALSE(CXFileOperator::IsDirectory("D:\\missing"));
    EXPECT_FALSE(CXFileOperator::PathExists(""));
}

TEST_F(FileOperator, CopyOntoAReadOnlyDestinationReplacesIt) {
    Write("D:\\source.txt", "new content");
    Write("D:\\target.txt", "old");
    ASSERT_TRUE(wi::platform::SetFileAttributes("D:\\target.txt", wi::platform::kAttrReadOnly));
    CXFileOperator::CopyFile("D:\\source.txt", "D:\\target.txt", false);
    EXPECT_EQ(Read("D:\\target.txt"), "new content");
    EXPECT_EQ(Attributes("D:\\target.txt") & wi::platform::kAttrReadOnly, 0u);
}

TEST_F(FileOperator, CopyFailureRaisesOnlyWithoutFailIfExists) {
    try {
        CXFileOperator::CopyFile("D:\\missing.txt", "D:\\target.txt", false);
        ADD_FAILURE() << "no exception";
    } catch (const CXException& error) {
        EXPECT_EQ(error.operation, "CXFileOperator::CopyFile");
        EXPECT_EQ(error.line, 1061);
        EXPECT_EQ(error.category, 2);
        EXPECT_EQ(std::string(error.what()).rfind("code:", 0), 0u);
    }
    EXPECT_NO_THROW(CXFileOperator::CopyFile("D:\\missing.txt", "D:\\target.txt", true));

    Write("D:\\source.txt", "new");
    Write("D:\\target.txt", "kept");
    EXPECT_NO_THROW(CXFileOperator::CopyFile("D:\\source.txt", "D:\\target.txt", true));
    EXPECT_EQ(Read("D:\\target.txt"), "kept");
    EXPECT_NO_THROW(CXFileOperator::CopyFile("", "D:\\target.txt", false));
    EXPECT_NO_THROW(CXFileOperator::CopyFile("D:\\source.txt", "", false));
}

TEST_F(FileOperator, DeleteClearsReadOnlyFirst) {
    Write("D:\\locked.txt", "x");
    ASSERT_TRUE(wi::platform::SetFileAttributes(
        "D:\\locked.txt", wi::platform::kAttrReadOnly | wi::platform::kAttrHidden));
    CXFileOperator::DeleteFile("D:\\locked.txt");
    EXPECT_FALSE(CXFileOperator::PathExists("D:\\locked.txt"));
    EXPECT_NO_THROW(CXFileOperator::DeleteFile(""));
    try {
        CXFileOperator::DeleteFile("D:\\locked.txt");
        ADD_FAILURE() << "no exception";
    } catch (const CXException& error) {
        EXPECT_EQ(error.operation, "CXFileOperator::DeleteFile");
        EXPECT_NE(std::string(error.what()), wi::inc::FileErrorMessage(0xE0000001u));
    }
}

TEST_F(FileOperator, InsureDirectoryExistCreatesEveryLevel) {
    CXFileOperator::InsureDirectoryExist("D:\\dir\\sub");
    EXPECT_TRUE(CXFileOperator::IsDirectory("D:\\dir"));
    EXPECT_TRUE(CXFileOperator::IsDirectory("D:\\dir\\sub"));
    // Existing levels and a trailing backslash are fine.
    CXFileOperator::InsureDirectoryExist("D:\\dir\\sub\\deeper\\");
    EXPECT_TRUE(CXFileOperator::IsDirectory("D:\\dir\\sub\\deeper"));
}

TEST_F(FileOperator, InsureDirectoryExistLimitIs260Characters) {
    std::string path = "D:\\" + std::string(100, 'a') + "\\" + std::string(156, 'b');
    ASSERT_EQ(path.size(), 260u);
    CXFileOperator::InsureDirectoryExist(path);
    EXPECT_TRUE(CXFileOperator::IsDirectory(path));

    std::string overlong = "D:\\" + std::string(100, 'c') + "\\" + std::string(157, 'd');
    ASSERT_EQ(overlong.size(), 261u);
    CXFileOperator::InsureDirectoryExist(overlong);
    EXPECT_FALSE(CXFileOperator::PathExists("D:\\" + std::string(100, 'c')));
}

TEST_F(FileOperator, GetDirectoryPartOfFilesAndDirectories) {
    CXFileOperator::InsureDirectoryExist("D:\\dir\\sub");
    EXPECT_EQ(CXFileOperator::GetDirectoryPart("D:\\dir\\file.txt"), "D:\\dir\\");
    EXPECT_EQ(CXFileOperator::GetDirectoryPart("D:\\dir\\sub"), "D:\\dir\\sub\\");
    EXPECT_EQ(CXFileOperator::GetDirectoryPart("D:/dir/sub"), "D:\\dir\\sub\\");
    EXPECT_EQ(CXFileOperator::GetDirectoryPart("D:\\dir\\"), "D:\\dir\\");
}

TEST_F(FileOperator, ListingAndSizesOfATree) {
    CXFileOperator::InsureDirectoryExist("D:\\tree\\inner\\empty");
    Write("D:\\tree\\a.bin", std::string(10, 'a'));
    Write("D:\\tree\\inner\\b.bin", std::string(2000, 'b'));
    Write("D:\\tree\\inner\\c.bin", "");

    std::list<std::string> entries;
    CXFileOperator::ListDirectory("D:\\tree", entries);
    entries.sort();
    EXPECT_EQ(entries, (std::list<std::string>{"D:\\tree\\a.bin", "D:\\tree\\inner"}));

    std::list<std::string> withSeparator{"kept"};
    CXFileOperator::ListDirectory("D:\\tree\\inner\\", withSeparator);
    withSeparator.sort();
    EXPECT_EQ(withSeparator, (std::list<std::string>{"D:\\tree\\inner\\b.bin",
                                                     "D:\\tree\\inner\\c.bin",
                                                     "D:\\tree\\inner\\empty", "kept"}));

    std::list<std::string> none;
    CXFileOperator::ListDirectory("D:\\missing", none);
    EXPECT_TRUE(none.empty());

    EXPECT_EQ(CXFileOperator::GetPathSize("D:\\tree"), 2010u);
    EXPECT_EQ(CXFileOperator::GetPathSize("D:\\tree\\inner\\b.bin"), 2000u);
    EXPECT_EQ(CXFileOperator::GetPathSize("D:\\tree\\inner\\empty"), 0u);
    EXPECT_EQ(CXFileOperator::GetPathSize("D:\\missing"), 0u);
}

// A link made by the build machine (under Wine a Linux symbolic link is what a Windows program
// sees as a link): at the Windows path `link`, pointing at the host path `target` as it stands.
void MakeLink(const TempMachine& machine, const std::string& target, const std::string& link) {
    wi::test::RunShell("ln -s '" + target + "' '" +
                       wi::test::host::UnixPath(machine.HostPath(link)) + "'");
}

// Deleting or replacing a link acts on the link alone.
TEST_F(FileOperator, LinksAreNeverFollowedToWhatTheyPointAt) {
    if (wi::test::host::UnderWine()) {
        GTEST_SKIP() << "Wine deletes and changes what a Linux link points at, not the link, and "
                        "makes no Windows links";
    }
    namespace fs = std::filesystem;
    CXFileOperator::InsureDirectoryExist("D:\\outside");
    Write("D:\\outside\\precious.txt", "keep");
    ASSERT_TRUE(wi::platform::SetFileAttributes(
        "D:\\outside\\precious.txt", wi::platform::kAttrReadOnly | wi::platform::kAttrHidden));
    const std::uint32_t outsideAttributes = Attributes("D:\\outside\\precious.txt");
    const std::string precious = machine.HostPath("D:\\outside\\precious.txt");
    const fs::perms outsideMode = fs::status(precious).permissions();
    MakeLink(machine, wi::test::host::UnixPath(precious), "D:\\deleted");
    MakeLink(machine, wi::test::host::UnixPath(precious), "D:\\replaced");

    CXFileOperator::DeleteFile("D:\\deleted");
    EXPECT_FALSE(fs::is_symlink(machine.HostPath("D:\\deleted")));
    Write("D:\\source.txt", "new");
    CXFileOperator::CopyFile("D:\\source.txt", "D:\\replaced", false);
    EXPECT_FALSE(fs::is_symlink(machine.HostPath("D:\\replaced")));
    EXPECT_EQ(Read("D:\\replaced"), "new");

    EXPECT_EQ(Read("D:\\outside\\precious.txt"), "keep");
    EXPECT_EQ(fs::status(precious).permissions(), outsideMode);
    EXPECT_EQ(Attributes("D:\\outside\\precious.txt"), outsideAttributes);
}

// A size walk never enters a link to a directory or a name that reads as a path back into the
// tree (either would be counted over and over).
TEST_F(FileOperator, SizeWalksNeverEnterLinks) {
    CXFileOperator::InsureDirectoryExist("D:\\outside");
    Write("D:\\outside\\precious.txt", "keep");
    CXFileOperator::InsureDirectoryExist("D:\\sized\\inner");
    Write("D:\\sized\\inner\\a.bin", std::string(10, 'a'));
    MakeLink(machine, ".", "D:\\sized\\inner\\self");
    MakeLink(machine, wi::test::host::UnixPath(machine.HostPath("D:\\outside")), "D:\\sized\\out");
    // A host name holding backslashes, read back as a Windows path, names the tree itself.
    wi::test::RunShell("mkdir '" + wi::test::host::UnixPath(machine.HostPath("D:\\sized\\inner")) +
                       "/..\\..\\sized'");
    EXPECT_EQ(CXFileOperator::GetPathSize("D:\\sized"), 10u);
    EXPECT_EQ(CXFileOperator::GetPathSize("D:\\sized\\out"), 0u);
    // Removed by the build machine that made the links: Wine would remove what they point at.
    wi::test::RunShell("rm -rf '" + wi::test::host::UnixPath(machine.HostPath("D:\\sized")) + "'");
}

// A machine whose volumes report chosen sizes; everything else is the real machine's.
class SizedMachine : public wi::test::ForwardingMachine {
public:
    bool answers = true;
    wi::platform::DiskSpace space{5000000000ull, 7000000000ull, 6000000000ull};

    bool QueryDiskSpace(const std::string&, wi::platform::DiskSpace& out) override {
        if (answers) out = space;
        return answers;
    }
};

TEST(GetDiskSpace, EachKindFromTheVolume) {
    SizedMachine sized;
    wi::platform::SetMachine(&sized);
    EXPECT_EQ(CXFileOperator::GetDiskSpace("D:\\", 0), 5000000000ull);
    EXPECT_EQ(CXFileOperator::GetDiskSpace("D:\\", 1), 7000000000ull);
    EXPECT_EQ(CXFileOperator::GetDiskSpace("D:\\", 2), 6000000000ull);
    EXPECT_EQ(CXFileOperator::GetDiskSpace("D:\\", 3), 0u);
    EXPECT_EQ(CXFileOperator::GetDiskSpace("D:\\", -1), 0u);
    sized.answers = false;
    EXPECT_EQ(CXFileOperator::GetDiskSpace("D:\\", 1), 0u);
    wi::platform::SetMachine(nullptr);
}

TEST_F(FileOperator, GetDiskSpaceOfARealVolume) {
    const std::uint64_t total = CXFileOperator::GetDiskSpace("D:\\", 1);
    EXPECT_GT(total, 0u);
    EXPECT_LE(CXFileOperator::GetDiskSpace("D:\\", 2), total);
    EXPECT_EQ(CXFileOperator::GetDiskSpace("Q:\\", 1), 0u);
}

}  // namespace
