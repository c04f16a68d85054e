// The status library: lines reach the sink whole and in order; parameters persist safely.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "webinteractive/status.h"

namespace fs = std::filesystem;

namespace {

void Collect(const char* line, void* context) {
    static_cast<std::vector<std::string>*>(context)->push_back(line);
}

class StatusLines : public ::testing::Test {
protected:
    void SetUp() override { IHelperInc::SetStatusSink(Collect, &lines); }
    void TearDown() override { IHelperInc::SetStatusSink(nullptr, nullptr); }
    std::vector<std::string> lines;
};

TEST_F(StatusLines, ReachTheSinkFormattedAndInOrder) {
    IHelperInc::MakeStatus(" %s|%s|%s|%s", "setup.exe", "12KB/S", "1024", "4096");
    IHelperInc::MakeStatus("%s|%d", "setup.exe", 1);
    std::string finished = "done";
    IHelperInc::SetStatus(finished);
    EXPECT_EQ(lines, (std::vector<std::string>{" setup.exe|12KB/S|1024|4096", "setup.exe|1",
                                               "done"}));
}

TEST_F(StatusLines, LongLinesAreNotTruncated) {
    const std::string longText(100000, 'x');
    IHelperInc::MakeStatus("[%s]%d", longText.c_str(), 7);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "[" + longText + "]7");
}

TEST_F(StatusLines, NullFormatGivesAnEmptyLine) {
    IHelperInc::MakeStatus(nullptr);
    EXPECT_EQ(lines, std::vector<std::string>{""});
}

TEST(StatusDefaultSink, WritesEachLineAndALineFeedToStandardError) {
    IHelperInc::SetStatusSink(nullptr, nullptr);
    ::testing::internal::CaptureStderr();
    IHelperInc::MakeStatus("first %d", 1);
    std::string second = "second";
    IHelperInc::SetStatus(second);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "first 1\nsecond\n");
}

// Each test starts from its own, not yet existing, parameter file.
class Parameters : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        directory = fs::temp_directory_path() /
                    ("wi_status_" + std::string(info->name()) + "_" + std::to_string(std::random_device{}()));
        fs::remove_all(directory);
        fs::create_directories(directory);
        file = (directory / "params.txt").string();
        ASSERT_TRUE(IHelperInc::SetParamFile(file.c_str()));
    }
    void TearDown() override {
        IHelperInc::SetParamFile(nullptr);
        fs::remove_all(directory);
    }
    static std::string Read(std::string name) { return IHelperInc::ReadParam(name); }
    static void Save(std::string name, std::string value) { IHelperInc::SaveParam(name, value); }
    void WriteFile(const std::string& content) {
        std::ofstream(file, std::ios::binary) << content;
    }
    std::string ReadFile() const {
        std::ifstream in(file, std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        return content.str();
    }

    fs::path directory;
    std::string file;
};

TEST_F(Parameters, MissingFileGivesNoParameters) {
    EXPECT_EQ(Read("qeluser"), "");
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(Parameters, LastSavedValueIsRead) {
    Save("qeluser", "C:\\one.xml");
    Save("qeluser", "D:\\two.xml");
    EXPECT_EQ(Read("qeluser"), "D:\\two.xml");
    EXPECT_EQ(Read("other"), "");
}

TEST_F(Parameters, AnyTextSurvivesTheFile) {
    const std::string awkwardName = "a=b\\c";
    const std::string awkwardValue = "line1\nline2\r\n=\\n\\\\ \xd6\xd0\xce\xc4";
    Save(awkwardName, awkwardValue);
    Save("empty", "");
    // Reloading is what a new process would see.
    ASSERT_TRUE(IHelperInc::SetParamFile(nullptr));
    Save("memoryOnly", "x");
    ASSERT_TRUE(IHelperInc::SetParamFile(file.c_str()));
    EXPECT_EQ(Read(awkwardName), awkwardValue);
    EXPECT_EQ(Read("empty"), "");
    EXPECT_EQ(Read("memoryOnly"), "");
    // Beside the file only its lock is left.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"params.txt", "params.txt.lock"}));
}

TEST_F(Parameters, ASaveKeepsWhatAnotherProcessSavedSince) {
    Save("mine", "1");
    WriteFile("mine=changed by the other\nother=2\n");  // another process saved meanwhile
    Save("new", "3");
    EXPECT_EQ(ReadFile(), "mine=changed by the other\nnew=3\nother=2\n");
    EXPECT_EQ(Read("other"), "2");
    EXPECT_EQ(Read("mine"), "changed by the other");
}

TEST_F(Parameters, CorruptLinesAreSkippedAndTheRestIsKept) {
    WriteFile(std::string("no separator\n"
                          "bad\\qescape=1\n"
                          "two=separators=here\n"
                          "trailing=backslash\\\n"
                          "\n"
                          "\x01\xff\xfe=\x80" "binary\n"
                          "qeluser=C:\\\\users\\\\qeluser.xml\r\n") +
              std::string("nul\0name=v", 10) + "\nlast=no line feed");
    ASSERT_TRUE(IHelperInc::SetParamFile(file.c_str()));
    EXPECT_EQ(Read("qeluser"), "C:\\users\\qeluser.xml");
    EXPECT_EQ(Read("last"), "no line feed");
    EXPECT_EQ(Read("\x01\xff\xfe"), "\x80" "binary");
    EXPECT_EQ(Read(std::string("nul\0name", 8)), "v");
    EXPECT_EQ(Read("two"), "");
    EXPECT_EQ(Read("bad\\qescape"), "");
    EXPECT_EQ(Read("trailing"), "");
    // Saving rewrites the file with the good entries only, readable again.
    Save("new", "1");
    ASSERT_TRUE(IHelperInc::SetParamFile(file.c_str()));
    EXPECT_EQ(Read("qeluser"), "C:\\users\\qeluser.xml");
    EXPECT_EQ(Read("new"), "1");
}

TEST_F(Parameters, UnreadableFileIsRefusedAndChangesNothing) {
    Save("kept", "yes");
    const std::string notAFile = (directory / "sub").string();
    fs::create_directories(notAFile);
    EXPECT_FALSE(IHelperInc::SetParamFile(notAFile.c_str()));
    EXPECT_EQ(Read("kept"), "yes");
    // The old file is still the one written to.
    Save("after", "1");
    ASSERT_TRUE(IHelperInc::SetParamFile(file.c_str()));
    EXPECT_EQ(Read("after"), "1");
}

TEST_F(Parameters, AFileBeyondSixteenMiBIsRefusedAndNeverReplaced) {
    Save("kept", "yes");
    const std::string huge = "big=" + std::string(16u << 20, 'x') + "\n";
    WriteFile(huge);
    EXPECT_FALSE(IHelperInc::SetParamFile(file.c_str()));
    Save("after", "1");  // the save cannot read the file, so it leaves it alone
    EXPECT_EQ(fs::file_size(file), huge.size());
    EXPECT_EQ(Read("after"), "1");
}

TEST_F(Parameters, FailedSaveKeepsTheValueAndTheOldFileUntilASaveSucceeds) {
    Save("first", "1");
    fs::remove(file + ".lock");
    fs::create_directories(file + ".lock/blocker");  // the lock cannot be had
    Save("second", "2");
    EXPECT_EQ(Read("second"), "2");
    EXPECT_EQ(ReadFile(), "first=1\n");
    fs::remove_all(file + ".lock");
    Save("third", "3");
    EXPECT_EQ(ReadFile(), "first=1\nsecond=2\nthird=3\n");
}

}  // namespace
