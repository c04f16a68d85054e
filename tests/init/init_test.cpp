// Init: the configuration values, the fixed-drive list, and what a hostile document gets.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "frame/config.h"
#include "frame/drives.h"
#include "frame/forget_service.h"
#include "frame/scripted_machine.h"
#include "support/temp_machine.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/frame.h"
#include "webinteractive/host.h"
#include "webinteractive/status.h"
#include "webinteractive/store.h"

namespace {

const char kFullConfig[] =
    "<Logs>"
    "<UpUserUrl>http://s/up</UpUserUrl>"
    "<ReadUserUrl>http://s/read?x=1</ReadUserUrl>"
    "<UpSysUrl>http://s/sys</UpSysUrl>"
    "<MachineNum>M-42</MachineNum>"
    "<DownSysPatchsUrl>http://s/patch</DownSysPatchsUrl>"
    "<Unrelated>ignored</Unrelated>"
    "</Logs>";

std::vector<std::string> Values() {
    const wi::frame::Configuration& c = wi::frame::Config();
    return {c.upUserUrl, c.readUserUrl, c.upSysUrl, c.machineNum, c.downSysPatchsUrl};
}

const std::vector<std::string> kNoValues(5);

constexpr const char* kUserXml = "D:\\qel_protect\\software\\qeluser.xml";

class Init : public ::testing::Test {
protected:
    // The user document exists and is remembered, so no Init here contacts a service.
    void SetUp() override {
        wi::test::ForgetService();
        WriteUserDocument("<user/>");
        std::string name = "qeluser", path = kUserXml;
        IHelperInc::SaveParam(name, path);
    }
    void WriteUserDocument(const std::string& content) const {
        const std::string host = machine.HostPath(kUserXml);
        std::filesystem::create_directories(std::filesystem::path(host).parent_path());
        wi::test::TempMachine::WriteHostFile(host, content);
    }

    wi::test::TempMachine machine;
};

TEST_F(Init, AllFiveKeysGiveOneAndTheirValues) {
    EXPECT_EQ(IWebInteractive::Init(kFullConfig), 1);
    EXPECT_EQ(Values(), (std::vector<std::string>{"http://s/up", "http://s/read?x=1",
                                                  "http://s/sys", "M-42", "http://s/patch"}));
}

TEST_F(Init, MissingKeyGivesZeroButTheOthersAreRead) {
    EXPECT_EQ(IWebInteractive::Init("<Logs><UpUserUrl>u</UpUserUrl><ReadUserUrl>r</ReadUserUrl>"
                                    "<UpSysUrl>s</UpSysUrl><MachineNum>m</MachineNum></Logs>"),
              0);
    EXPECT_EQ(Values(), (std::vector<std::string>{"u", "r", "s", "m", ""}));
    // A key missing early does not stop the later ones.
    EXPECT_EQ(IWebInteractive::Init("<Logs><DownSysPatchsUrl>p</DownSysPatchsUrl></Logs>"), 0);
    EXPECT_EQ(Values(), (std::vector<std::string>{"", "", "", "", "p"}));
}

TEST_F(Init, RootNameIgnoresCaseButOtherRootsGiveOneAndNoValues) {
    std::string lower = kFullConfig;
    lower.replace(lower.find("<Logs>"), 6, "<logs>");
    lower.replace(lower.rfind("</Logs>"), 7, "</logs>");
    EXPECT_EQ(IWebInteractive::Init(lower.c_str()), 1);
    EXPECT_EQ(Values()[3], "M-42");

    EXPECT_EQ(IWebInteractive::Init("<Config><UpUserUrl>u</UpUserUrl></Config>"), 1);
    EXPECT_EQ(Values(), kNoValues);
}

TEST_F(Init, KeyNamesAreExactAndTheFirstElementCounts) {
    EXPECT_EQ(IWebInteractive::Init("<Logs><upuserurl>u</upuserurl><ReadUserUrl>r1</ReadUserUrl>"
                                    "<ReadUserUrl>r2</ReadUserUrl></Logs>"),
              0);
    EXPECT_EQ(Values()[0], "");
    EXPECT_EQ(Values()[1], "r1");
}

TEST_F(Init, NestedElementsGiveAllTheirText) {
    EXPECT_EQ(IWebInteractive::Init("<Logs><UpUserUrl>http://<b>host</b>/<i>p<u>a</u>th</i>"
                                    "</UpUserUrl></Logs>"),
              0);
    EXPECT_EQ(Values()[0], "http://host/path");
}

TEST_F(Init, TextThatIsNotXmlGivesZeroAndEmptyValuesThenGoodTextWorks) {
    ASSERT_EQ(IWebInteractive::Init(kFullConfig), 1);
    EXPECT_EQ(IWebInteractive::Init("not xml at all"), 0);
    EXPECT_EQ(Values(), kNoValues);
    EXPECT_EQ(IWebInteractive::Init("<Logs><UpUserUrl>truncated"), 0);
    EXPECT_EQ(IWebInteractive::Init(""), 0);
    EXPECT_EQ(IWebInteractive::Init(nullptr), 0);
    EXPECT_EQ(IWebInteractive::Init(kFullConfig), 1);
    EXPECT_EQ(Values()[4], "http://s/patch");
}

TEST_F(Init, ExternalEntitiesAreNeverRead) {
    const std::string secret = machine.Root() + "/secret.txt";
    wi::test::TempMachine::WriteHostFile(secret, "TOP-SECRET");
    const std::string document =
        "<?xml version=\"1.0\"?><!DOCTYPE Logs [<!ENTITY x SYSTEM \"file://" + secret +
        "\">]><Logs><UpUserUrl>a&x;b</UpUserUrl><ReadUserUrl>r</ReadUserUrl>"
        "<UpSysUrl>s</UpSysUrl><MachineNum>m</MachineNum><DownSysPatchsUrl>p</DownSysPatchsUrl>"
        "</Logs>";
    IWebInteractive::Init(document.c_str());
    for (const std::string& value : Values()) {
        EXPECT_EQ(value.find("TOP-SECRET"), std::string::npos);
    }
}

TEST_F(Init, EntityExpansionIsBounded) {
    std::string document = "<?xml version=\"1.0\"?><!DOCTYPE Logs [<!ENTITY l0 \"lollollol\">";
    for (int level = 1; level <= 10; ++level) {
        document += "<!ENTITY l" + std::to_string(level) + " \"";
        for (int i = 0; i < 10; ++i) document += "&l" + std::to_string(level - 1) + ";";
        document += "\">";
    }
    document += "]><Logs><UpUserUrl>&l10;</UpUserUrl></Logs>";
    // 9 * 10^10 bytes if expanded: the parser must refuse or stop long before that.
    EXPECT_EQ(IWebInteractive::Init(document.c_str()), 0);
    EXPECT_LT(Values()[0].size(), 10u * 1024 * 1024);
}

TEST(InitDrives, ListHoldsExactlyTheFixedDrivesInLetterOrder) {
    wi::test::ForgetService();
    wi::test::ScriptedMachine machine;
    machine.realFolders = false;
    machine.fixedDrives = "DC";
    IWebInteractive::Init("<Config/>");
    EXPECT_EQ(wi::frame::FixedDrives(), (std::vector<std::string>{"C:", "D:"}));
    // Every Init builds the list anew.
    machine.fixedDrives = "ZA";
    IWebInteractive::Init("not xml");
    EXPECT_EQ(wi::frame::FixedDrives(), (std::vector<std::string>{"A:", "Z:"}));
    machine.fixedDrives = "";
    IWebInteractive::Init("<Config/>");
    EXPECT_TRUE(wi::frame::FixedDrives().empty());
}

// The test machine has the fixed drives C: and D: (under Wine also the CD-ROM drive S:, which is
// left out).
TEST_F(Init, FixedDrivesOfTheTestMachine) {
    IWebInteractive::Init(kFullConfig);
    EXPECT_EQ(wi::frame::FixedDrives(), (std::vector<std::string>{"C:", "D:"}));
}

TEST_F(Init, ConcurrentCallsAndReadersSeeOneWholeConfiguration) {
    // Two configurations whose values never mix: every value a reader sees belongs to one of
    // them, and the drive list is always whole.
    const std::string second = std::string(kFullConfig).replace(
        std::string(kFullConfig).find("M-42"), 4, std::string(300, 'x'));
    IWebInteractive::Init(kFullConfig);  // no list or values left from an earlier test
    std::atomic<bool> done{false};
    std::atomic<int> wrongValues{0}, wrongDrives{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 100; ++i) {
                IWebInteractive::Init((i + t) % 2 ? kFullConfig : second.c_str());
            }
        });
    }
    std::thread reader([&] {
        while (!done.load()) {
            const std::string value = IHostInc::GetConfigValue("MachineNum");
            if (value != "M-42" && value != std::string(300, 'x') && !value.empty()) ++wrongValues;
            const std::vector<std::string> drives = wi::frame::FixedDrives();
            if (!drives.empty() && drives != std::vector<std::string>{"C:", "D:"}) ++wrongDrives;
        }
    });
    for (std::thread& thread : threads) thread.join();
    done = true;
    reader.join();
    EXPECT_EQ(wrongValues.load(), 0);
    EXPECT_EQ(wrongDrives.load(), 0);
}

TEST_F(Init, LoadsTheProtectedSoftwareTableFromTheUserDocument) {
    WriteUserDocument("<user><software><guid>G1</guid><protect_xml>D:\\p.xml</protect_xml>"
                      "</software></user>");
    EXPECT_EQ(IWebInteractive::Init(kFullConfig), 1);
    EXPECT_STREQ(IWebInteractive::GetProtectXmlPath("G1"), "D:\\p.xml");
    EXPECT_FALSE(CXFileOperator::PathExists("C:\\qeluser.xml"));

    // A user document that does not parse leaves the table empty; Init's result is its own.
    WriteUserDocument("not xml");
    EXPECT_EQ(IWebInteractive::Init(kFullConfig), 1);
    EXPECT_STREQ(IWebInteractive::GetProtectXmlPath("G1"), "");

    // The scratch copy cannot be written: the file error leaves Init.
    std::filesystem::create_directory(machine.HostPath("C:\\qeluser.xml"));
    EXPECT_THROW(IWebInteractive::Init(kFullConfig), CXException);
    // C: outlives the test under Wine.
    std::filesystem::remove(machine.HostPath("C:\\qeluser.xml"));
}

TEST(ProcessObjects, OneLogObjectAndAnEmptyComputerId) {
    wi::test::ForgetService();
    EXPECT_STREQ(IUserInfoInc::GetComputerID(), "");
    CLogInc* log = IWebInteractive::GetLogInc();
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(IWebInteractive::GetLogInc(), log);
    wi::test::TempMachine machine;
    IWebInteractive::Init(kFullConfig);
    EXPECT_STREQ(IUserInfoInc::GetComputerID(), "");
}

}  // namespace
