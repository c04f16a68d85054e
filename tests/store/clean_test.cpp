// CleanProtectSoftware: what a cleaning removes on every drive, what it keeps, and when it
// does nothing.
#include <gtest/gtest.h>

#include "protect_support.h"
#include "store/protected_table.h"
#include "store/user_document.h"

namespace {

using wi::test::Dependence;
using wi::test::Software;
using wi::test::SoftwareFile;

class Clean : public wi::test::StoreTest {};

TEST_F(Clean, RemovesTheSoftwareOnEveryDriveAndKeepsDependences) {
    ASSERT_EQ(IWebInteractive::ProtectFilesToLocal(Software("G0"), nullptr), 1);
    ISoftInfoInc::_SoftInfo soft = Software("G1");
    PutFile("D:\\App\\a.exe", "program");
    PutFile("D:\\App\\dep.dll", "shared");
    soft.files = {SoftwareFile("1", "D:\\App\\a.exe")};
    soft.dependences = {Dependence("D:\\App\\dep.dll")};
    ASSERT_EQ(IWebInteractive::ProtectFilesToLocal(soft, nullptr), 1);
    // Items of an earlier protection on C: as well as the new ones on D:.
    PutFile("C:\\qel_protect\\software\\G1\\2\\App\\old.exe", "old");

    lines.clear();
    EXPECT_EQ(IWebInteractive::CleanProtectSoftware("G1"), 1);
    EXPECT_EQ(lines, std::vector<std::string>{"获取软件的保护版本...G1"});
    EXPECT_FALSE(Exists("C:\\qel_protect\\software\\G1"));
    EXPECT_FALSE(Exists("D:\\qel_protect\\software\\G1"));
    EXPECT_TRUE(Exists("D:\\qel_protect\\software\\Dependence\\App\\dep.dll"));
    EXPECT_TRUE(Exists("D:\\qel_protect\\software\\G0\\Protect.xml"));
    EXPECT_STREQ(IWebInteractive::GetProtectXmlPath("G1"), "");
}

TEST_F(Clean, SoftwaresThatDoNotCountAsProtectedAreLeftAlone) {
    EXPECT_EQ(IWebInteractive::CleanProtectSoftware(""), 0);
    EXPECT_EQ(IWebInteractive::CleanProtectSoftware(nullptr), 0);
    EXPECT_EQ(IWebInteractive::CleanProtectSoftware("unknown"), 0);

    // A failed protection leaves its items with "Version" -1: not cleaned.
    ISoftInfoInc::_SoftInfo failed = Software("G1");
    failed.files = {SoftwareFile("1", "D:\\missing.exe")};
    ASSERT_EQ(IWebInteractive::ProtectFilesToLocal(failed, nullptr), 0);
    EXPECT_EQ(IWebInteractive::CleanProtectSoftware("G1"), 0);
    EXPECT_TRUE(Exists(std::string(kStoreRoot) + "G1\\Protect.xml"));

    // A GUID that climbs out of the store never reaches the removal command.
    PutFixture("protect_version_7.xml", "D:\\Protect.xml");
    PutFile("D:\\keep\\file.txt", "kept");
    for (const char* guid : {"..", "..\\..\\keep", "x\" \"D:\\keep"}) {
        wi::store::RememberProtection(guid, "D:\\Protect.xml");
        EXPECT_EQ(IWebInteractive::CleanProtectSoftware(guid), 0) << guid;
    }
    EXPECT_TRUE(Exists("D:\\keep\\file.txt"));
    EXPECT_TRUE(Exists(kStoreRoot));
}

TEST_F(Clean, EveryPairOfTheSoftwareLeavesTheUserDocument) {
    ASSERT_EQ(IWebInteractive::ProtectFilesToLocal(Software("G1"), nullptr), 1);
    ASSERT_EQ(IWebInteractive::ProtectFilesToLocal(Software("G2"), nullptr), 1);
    const std::string g1Xml = std::string(kStoreRoot) + "G1\\Protect.xml";
    wi::store::RememberProtection("G3", "D:\\other.xml");
    // The table holds G1 twice; the stored document is written from the whole table.
    PutFile(kUserXml, "<user><software><guid>G1</guid><protect_xml>" + g1Xml +
                          "</protect_xml></software><software><guid>G2</guid><protect_xml>" +
                          std::string(kStoreRoot) + "G2\\Protect.xml</protect_xml></software>"
                          "<software><guid>G1</guid><protect_xml>D:\\again.xml</protect_xml>"
                          "</software></user>");
    Reinit();
    EXPECT_EQ(IWebInteractive::CleanProtectSoftware("G1"), 1);
    EXPECT_EQ(UserDocumentPairs(), (std::vector<std::pair<std::string, std::string>>{
                                       {"G2", std::string(kStoreRoot) + "G2\\Protect.xml"}}));
    EXPECT_EQ(wi::store::ProtectedPairs().size(), 1u);

    // The last software out leaves a "user" root without children.
    EXPECT_EQ(IWebInteractive::CleanProtectSoftware("G2"), 1);
    EXPECT_TRUE(UserDocumentPairs().empty());
}

}  // namespace
