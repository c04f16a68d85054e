// Temporary document names: their form, and that no name is handed out twice.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "scripted_machine.h"
#include "support/temp_machine.h"
#include "webinteractive/frame.h"

namespace {

const char kDocuments[] = "C:\\users\\Public\\Documents\\";

class TempXmlFilePath : public ::testing::Test {
protected:
    wi::test::TempMachine machine;
    wi::test::ScriptedMachine scripted;
    void SetUp() override {
        scripted.fixedDrives = "CD";
        scripted.fixedClock = true;
    }
    void At(int hour, int minute, int second, int millisecond, unsigned long thread) {
        scripted.utc.hour = hour;
        scripted.utc.minute = minute;
        scripted.utc.second = second;
        scripted.utc.millisecond = millisecond;
        scripted.threadId = thread;
    }
};

TEST_F(TempXmlFilePath, NameFromFolderTimeAndThread) {
    At(9, 31, 5, 7, 812);
    EXPECT_EQ(IWebInteractive::GetTempXmlFilePath("logTemp"),
              std::string(kDocuments) + "logTemp0931057812.xml");
    At(23, 0, 59, 999, 4);
    EXPECT_EQ(IWebInteractive::GetTempXmlFilePath("up"),
              std::string(kDocuments) + "up2300599994.xml");
}

TEST_F(TempXmlFilePath, RepeatedNamesGetASequenceBeforeTheExtension) {
    At(10, 0, 0, 5, 77);
    const std::string first = IWebInteractive::GetTempXmlFilePath("same");
    const std::string second = IWebInteractive::GetTempXmlFilePath("same");
    const std::string third = IWebInteractive::GetTempXmlFilePath("same");
    EXPECT_EQ(first, std::string(kDocuments) + "same100000577.xml");
    EXPECT_EQ(second, std::string(kDocuments) + "same100000577-2.xml");
    EXPECT_EQ(third, std::string(kDocuments) + "same100000577-3.xml");
}

TEST_F(TempXmlFilePath, UnpaddedMillisecondsAndThreadsDoNotCollide) {
    At(11, 22, 33, 78, 12);
    const std::string a = IWebInteractive::GetTempXmlFilePath("pad");
    At(11, 22, 33, 7, 812);
    const std::string b = IWebInteractive::GetTempXmlFilePath("pad");
    EXPECT_EQ(a, std::string(kDocuments) + "pad1122337812.xml");
    EXPECT_NE(a, b);
    EXPECT_EQ(b, std::string(kDocuments) + "pad1122337812-2.xml");
}

TEST_F(TempXmlFilePath, WithoutTheDocumentsFolderTheNameGoesOnC) {
    scripted.realFolders = false;
    EXPECT_STREQ(IWebInteractive::GetTempXmlFilePath("nofolder"), "C:\\nofolder.xml");
    EXPECT_STREQ(IWebInteractive::GetTempXmlFilePath("nofolder"), "C:\\nofolder-2.xml");
}

TEST_F(TempXmlFilePath, NullOrEmptyNameGivesTheFixedTempXmlOnCEveryTime) {
    EXPECT_STREQ(IWebInteractive::GetTempXmlFilePath(nullptr), "C:\\Temp.xml");
    EXPECT_STREQ(IWebInteractive::GetTempXmlFilePath(""), "C:\\Temp.xml");
    EXPECT_STREQ(IWebInteractive::GetTempXmlFilePath(nullptr), "C:\\Temp.xml");
}

std::vector<std::string> Many(const char* name, int count) {
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        const char* path = IWebInteractive::GetTempXmlFilePath(name);
        paths.emplace_back(path);
    }
    return paths;
}

TEST(TempXmlFilePathOnTheRealClock, EveryCallInATightLoopAndFromTwoThreadsIsUnique) {
    wi::test::TempMachine machine;
    std::vector<std::string> one, two;
    std::thread first([&] { one = Many("race", 20000); });
    std::thread second([&] { two = Many("race", 20000); });
    first.join();
    second.join();
    std::set<std::string> all(one.begin(), one.end());
    all.insert(two.begin(), two.end());
    EXPECT_EQ(all.size(), 40000u);
    for (const std::string& path : all) {
        ASSERT_EQ(path.rfind(kDocuments, 0), 0u) << path;
        ASSERT_EQ(path.compare(path.size() - 4, 4, ".xml"), 0) << path;
        ASSERT_EQ(path.compare(sizeof kDocuments - 1, 4, "race"), 0) << path;
    }
}

}  // namespace
