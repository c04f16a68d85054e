// File operations on Windows paths: DOS attributes, copying, deleting, directories, streams.
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

#include "error_codes.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "support/host.h"
#include "support/peers.h"
#include "support/temp_machine.h"

namespace fs = std::filesystem;

namespace wi::platform {
namespace {

using namespace test::error;

class FilesTest : public ::testing::Test {
protected:
    std::uint32_t Attributes(const std::string& path) {
        std::uint32_t attributes = 0;
        EXPECT_TRUE(GetFileAttributes(path, attributes)) << path;
        return attributes;
    }
    void Write(const std::string& path, const std::string& content) {
        test::TempMachine::WriteHostFile(machine.HostPath(path), content);
    }
    std::string Read(const std::string& path) {
        return test::TempMachine::ReadHostFile(machine.HostPath(path));
    }

    test::TempMachine machine;
};

TEST_F(FilesTest, PlainFileIsNormalAndDirectoryIsDirectory) {
    Write("D:\\a.txt", "x");
    EXPECT_EQ(Attributes("D:\\a.txt"), kAttrNormal);
    EXPECT_EQ(Attributes("D:\\"), kAttrDirectory);
    std::uint32_t attributes;
    SetLastError(0);
    EXPECT_FALSE(GetFileAttributes("D:\\missing", attributes));
    EXPECT_EQ(LastError(), kFileNotFound);
}

const std::uint32_t kAllDosAttributes = kAttrReadOnly | kAttrHidden | kAttrSystem;

TEST_F(FilesTest, DosAttributesRoundTripOnFiles) {
    Write("D:\\f.txt", "x");
    ASSERT_TRUE(SetFileAttributes("D:\\f.txt", kAllDosAttributes));
    EXPECT_EQ(Attributes("D:\\f.txt"), kAllDosAttributes);
    EXPECT_EQ(fs::status(machine.HostPath("D:\\f.txt")).permissions() & fs::perms::owner_write,
              fs::perms::none);
    ASSERT_TRUE(SetFileAttributes("D:\\f.txt", kAttrNormal));
    EXPECT_EQ(Attributes("D:\\f.txt"), kAttrNormal);
}

TEST_F(FilesTest, DosAttributesRoundTripOnDirectories) {
    ASSERT_TRUE(CreateDirectory("D:\\dir"));
    ASSERT_TRUE(SetFileAttributes("D:\\dir", kAttrHidden | kAttrSystem));
    EXPECT_EQ(Attributes("D:\\dir"), kAttrHidden | kAttrSystem | kAttrDirectory);
    if (test::host::UnderWine()) {
        GTEST_SKIP() << "Wine keeps no read-only attribute on directories";
    }
    ASSERT_TRUE(SetFileAttributes("D:\\dir", kAllDosAttributes));
    EXPECT_EQ(Attributes("D:\\dir"), kAllDosAttributes | kAttrDirectory);
    ASSERT_TRUE(SetFileAttributes("D:\\dir", kAttrHidden));
    EXPECT_EQ(Attributes("D:\\dir"), kAttrHidden | kAttrDirectory);
}

TEST_F(FilesTest, ReadOnlyDirectoryStaysWritable) {
    ASSERT_TRUE(CreateDirectory("D:\\store"));
    ASSERT_TRUE(SetFileAttributes("D:\\store", kAttrReadOnly | kAttrHidden | kAttrSystem));
    Write("D:\\store\\inside.txt", "kept");
    EXPECT_EQ(Read("D:\\store\\inside.txt"), "kept");
    EXPECT_TRUE(CreateDirectory("D:\\store\\sub"));
    EXPECT_TRUE(CopyFile("D:\\store\\inside.txt", "D:\\store\\copy.txt", true));
}

TEST_F(FilesTest, CopyHonoursFailIfExistsAndReplacesContent) {
    Write("D:\\src.txt", "new content");
    Write("D:\\dst.txt", "old");
    SetLastError(0);
    EXPECT_FALSE(CopyFile("D:\\src.txt", "D:\\dst.txt", true));
    EXPECT_EQ(LastError(), kFileExists);
    EXPECT_EQ(Read("D:\\dst.txt"), "old");

    ASSERT_TRUE(CopyFile("D:\\src.txt", "D:\\dst.txt", false));
    EXPECT_EQ(Read("D:\\dst.txt"), "new content");
    ASSERT_TRUE(CopyFile("D:\\src.txt", "C:\\fresh.txt", true));
    EXPECT_EQ(Read("C:\\fresh.txt"), "new content");
    EXPECT_TRUE(DeleteFile("C:\\fresh.txt"));  // C: outlives the test under Wine
    // Nothing but the copies is left beside them.
    std::vector<std::string> names;
    ASSERT_TRUE(ListDirectory("D:\\", names));
    EXPECT_EQ(names.size(), 2u);
}

TEST_F(FilesTest, CopyRefusesReadOnlyDestinationItselfAndDirectories) {
    Write("D:\\src.txt", "new");
    Write("D:\\locked.txt", "old");
    ASSERT_TRUE(SetFileAttributes("D:\\locked.txt", kAttrReadOnly));
    EXPECT_FALSE(CopyFile("D:\\src.txt", "D:\\locked.txt", false));
    EXPECT_EQ(LastError(), kAccessDenied);
    EXPECT_EQ(Read("D:\\locked.txt"), "old");

    EXPECT_FALSE(CopyFile("D:\\src.txt", "D:\\.\\src.txt", false));
    EXPECT_EQ(Read("D:\\src.txt"), "new");

    ASSERT_TRUE(CreateDirectory("D:\\dir"));
    EXPECT_FALSE(CopyFile("D:\\dir", "D:\\dir2", false));
    EXPECT_FALSE(CopyFile("D:\\src.txt", "D:\\dir", false));
    EXPECT_FALSE(CopyFile("D:\\missing", "D:\\x", false));
    EXPECT_EQ(LastError(), kFileNotFound);
}

TEST_F(FilesTest, DeleteRemovesFilesOnly) {
    Write("D:\\f.txt", "x");
    ASSERT_TRUE(CreateDirectory("D:\\dir"));
    EXPECT_FALSE(DeleteFile("D:\\dir"));
    EXPECT_EQ(LastError(), kIsDirectory);
    ASSERT_TRUE(SetFileAttributes("D:\\f.txt", kAttrReadOnly));
    EXPECT_FALSE(DeleteFile("D:\\f.txt"));  // as on Windows: read-only must be cleared first
    ASSERT_TRUE(SetFileAttributes("D:\\f.txt", kAttrNormal));
    EXPECT_TRUE(DeleteFile("D:\\f.txt"));
    EXPECT_FALSE(DeleteFile("D:\\f.txt"));
    EXPECT_EQ(LastError(), kFileNotFound);
}

TEST_F(FilesTest, DirectoriesAreMadeOneAtATimeAndListed) {
    EXPECT_FALSE(CreateDirectory("D:\\a\\b"));
    EXPECT_EQ(LastError(), kPathNotFound);
    ASSERT_TRUE(CreateDirectory("D:\\a"));
    EXPECT_FALSE(CreateDirectory("d:\\a"));
    EXPECT_EQ(LastError(), kAlreadyExists);
    ASSERT_TRUE(CreateDirectory("D:\\a\\b"));
    Write("D:\\a\\f.txt", "12345");

    std::vector<std::string> names;
    ASSERT_TRUE(ListDirectory("D:\\a", names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"b", "f.txt"}));
    EXPECT_FALSE(ListDirectory("D:\\none", names));

    std::uint64_t size = 0;
    ASSERT_TRUE(GetFileSize("D:\\a\\f.txt", size));
    EXPECT_EQ(size, 5u);
    EXPECT_FALSE(GetFileSize("D:\\a", size));

    EXPECT_FALSE(RemoveDirectory("D:\\a"));  // not empty
    ASSERT_TRUE(RemoveDirectory("D:\\a\\b"));
    EXPECT_FALSE(fs::exists(machine.HostPath("D:\\a\\b")));
}

TEST_F(FilesTest, StreamsWriteAndReadBack) {
    auto out = OpenForWrite("D:\\stream.bin");
    ASSERT_TRUE(out);
    std::string data(100000, 'z');
    data[5] = '\0';
    EXPECT_TRUE(out->Write(data.data(), data.size()));
    out.reset();

    auto in = OpenForRead("D:\\stream.bin");
    ASSERT_TRUE(in);
    std::string back;
    char buffer[4096];
    for (long long n; (n = in->Read(buffer, sizeof buffer)) > 0;) back.append(buffer, n);
    EXPECT_EQ(back, data);

    EXPECT_FALSE(OpenForRead("D:\\missing"));
    EXPECT_EQ(LastError(), kFileNotFound);
    EXPECT_FALSE(OpenForRead("D:\\"));
    ASSERT_TRUE(SetFileAttributes("D:\\stream.bin", kAttrReadOnly));
    EXPECT_FALSE(OpenForWrite("D:\\stream.bin"));
    EXPECT_EQ(LastError(), kAccessDenied);
}

// New content takes the place of the old only when committed; abandoned, it leaves no trace.
TEST_F(FilesTest, ReplacementIsAllOrNothing) {
    Write("D:\\doc.xml", "old");
    {
        auto abandoned = OpenReplacement("D:\\doc.xml");
        ASSERT_TRUE(abandoned);
        EXPECT_TRUE(abandoned->Write("half", 4));
    }
    EXPECT_EQ(Read("D:\\doc.xml"), "old");
    std::vector<std::string> names;
    ASSERT_TRUE(ListDirectory("D:\\", names));
    EXPECT_EQ(names, std::vector<std::string>{"doc.xml"});

    auto replacement = OpenReplacement("D:\\doc.xml");
    ASSERT_TRUE(replacement);
    replacement->Reserve(1 << 20);  // space set aside beyond the content is no part of it
    EXPECT_TRUE(replacement->Write("new", 3));
    EXPECT_EQ(Read("D:\\doc.xml"), "old");
    EXPECT_TRUE(replacement->Commit());
    EXPECT_EQ(Read("D:\\doc.xml"), "new");

    // An announced length is the peer's word: room is set aside only a step ahead of the writes.
    auto announced = OpenReplacement("D:\\big.bin");
    ASSERT_TRUE(announced);
    announced->Reserve(std::uint64_t{1} << 30);
    EXPECT_TRUE(announced->Write("x", 1));
    names.clear();
    ASSERT_TRUE(ListDirectory("D:\\", names));
    int temporaries = 0;
    for (const std::string& name : names) {
        std::uint64_t size = 0;
        if (name == "doc.xml" || !GetFileSize("D:\\" + name, size)) continue;
        ++temporaries;
        EXPECT_LE(size, 64u << 20);
    }
    EXPECT_EQ(temporaries, 1);

    ASSERT_TRUE(SetFileAttributes("D:\\doc.xml", kAttrReadOnly));
    EXPECT_FALSE(OpenReplacement("D:\\doc.xml"));
    EXPECT_EQ(LastError(), kAccessDenied);
    EXPECT_FALSE(OpenReplacement("D:\\"));
    EXPECT_FALSE(OpenReplacement("D:\\missing\\doc.xml"));
    EXPECT_EQ(LastError(), kPathNotFound);
}

// The temporary beside a file being replaced has a short name of its own, so a name of the
// longest length the file system takes can still be copied onto and replaced.
TEST_F(FilesTest, NamesOfTheLongestLengthCanBeReplaced) {
    const std::string name = "D:\\" + std::string(255, 'n');
    Write("D:\\src.txt", "copied");
    ASSERT_TRUE(CopyFile("D:\\src.txt", name, true)) << LastError();
    ASSERT_TRUE(CopyFile("D:\\src.txt", name, false)) << LastError();
    EXPECT_EQ(Read(name), "copied");
    auto replacement = OpenReplacement(name);
    ASSERT_TRUE(replacement) << LastError();
    EXPECT_TRUE(replacement->Write("replaced", 8));
    EXPECT_TRUE(replacement->Commit());
    EXPECT_EQ(Read(name), "replaced");
    std::vector<std::string> names;
    ASSERT_TRUE(ListDirectory("D:\\", names));
    EXPECT_EQ(names.size(), 2u);
}

// A tree deeper than MAX_PATH (260 characters) is made, written, copied in, listed and removed
// like any other.
TEST_F(FilesTest, ATreeFourHundredCharactersDeepWorksAsAnyOther) {
    std::string path = "D:\\deep";
    ASSERT_TRUE(CreateDirectory(path)) << LastError();
    while (path.size() < 400) {
        path += "\\" + std::string(40, 'd');
        ASSERT_TRUE(CreateDirectory(path)) << path.size() << ": " << LastError();
    }
    const std::string file = path + "\\f.txt";
    auto replacement = OpenReplacement(file);
    ASSERT_TRUE(replacement) << LastError();
    ASSERT_TRUE(replacement->Write("deep", 4));
    ASSERT_TRUE(replacement->Commit()) << LastError();
    ASSERT_TRUE(CopyFile(file, path + "\\g.txt", true)) << LastError();
    std::uint64_t size = 0;
    ASSERT_TRUE(GetFileSize(path + "\\g.txt", size));
    EXPECT_EQ(size, 4u);
    std::vector<std::string> names;
    ASSERT_TRUE(ListDirectory(path, names)) << LastError();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"f.txt", "g.txt"}));

    std::string failed;
    ASSERT_TRUE(RemoveTree("D:\\deep", failed)) << failed << ": " << LastError();
    std::uint32_t attributes = 0;
    EXPECT_FALSE(GetFileAttributes("D:\\deep", attributes));
}

// The link is made by the build machine: a Linux symbolic link is what Wine shows a Windows
// program as a directory link.
TEST_F(FilesTest, LinksAreReportedAsReparsePoints) {
    std::string outside = machine.MakeHostDirectory("outside");
    const std::string link = test::host::UnixPath(machine.HostPath("D:\\link"));
    test::RunShell("ln -s '" + test::host::UnixPath(outside) + "' '" + link + "'");
    EXPECT_EQ(Attributes("D:\\link"), kAttrDirectory | kAttrReparsePoint);
    EXPECT_FALSE(RemoveDirectory("D:\\link"));
    if (test::host::UnderWine()) {
        test::RunShell("rm '" + link + "'");
        GTEST_SKIP() << "Wine deletes what a Linux link points at, not the link";
    }
    EXPECT_TRUE(DeleteFile("D:\\link"));  // removes the link, not what it points at
    EXPECT_TRUE(fs::is_directory(outside));
}

}  // namespace
}  // namespace wi::platform
