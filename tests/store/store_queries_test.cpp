// The four queries of the store and how they read protect documents through "C:\Protect.xml".
#include <gtest/gtest.h>

#include "store/protected_table.h"
#include "store_fixture.h"
#include "webinteractive/store.h"

namespace {

constexpr const char* kProtectXml = "D:\\qel_protect\\software\\G1\\Protect.xml";

class StoreQueries : public wi::test::StoreTest {
protected:
    // G1 protected with this protect document.
    void Protected(const std::string& fixture) {
        PutFixture(fixture, kProtectXml);
        wi::store::RememberProtection("G1", kProtectXml);
    }
};

TEST_F(StoreQueries, ReadTheProtectDocumentOfTheTable) {
    Protected("protect_version_7.xml");  // root spelled PROTECT
    EXPECT_EQ(IWebInteractive::GetProtectedVersion("G1"), 7);
    EXPECT_STREQ(IWebInteractive::GetProtectedInstallPath("G1"), "D:\\Program Files\\App");
    EXPECT_TRUE(SawLine("正在获取软件的保护路径...G1"));
    EXPECT_TRUE(SawLine("获取软件的保护版本...G1"));
    EXPECT_FALSE(Exists("C:\\Protect.xml"));
}

TEST_F(StoreQueries, FileProtectPathMatchesExactlyAndTheLastItemWins) {
    Protected("protect_version_7.xml");
    EXPECT_STREQ(IWebInteractive::GetFileProtectPath(kProtectXml, "D:\\App\\a.exe"),
                 "D:\\store\\second\\a.exe");
    EXPECT_STREQ(IWebInteractive::GetFileProtectPath(kProtectXml, "d:\\app\\A.EXE"), "");
    EXPECT_STREQ(IWebInteractive::GetFileProtectPath(kProtectXml, "C:\\Config.xml"),
                 "D:\\store\\Config.xml");
    EXPECT_STREQ(IWebInteractive::GetFileProtectPath(kProtectXml, "D:\\App\\b.dll"), "");
    EXPECT_STREQ(IWebInteractive::GetFileProtectPath("D:\\missing.xml", "D:\\App\\a.exe"), "");
    EXPECT_STREQ(IWebInteractive::GetFileProtectPath(nullptr, nullptr), "");
    EXPECT_FALSE(Exists("C:\\Protect.xml"));
}

TEST_F(StoreQueries, EveryFailureGivesEmptyAndMinusOne) {
    // Not in the table, or an empty GUID: still one status line each.
    EXPECT_EQ(IWebInteractive::GetProtectedVersion("G1"), -1);
    EXPECT_STREQ(IWebInteractive::GetProtectedInstallPath(""), "");
    EXPECT_TRUE(SawLine("正在获取软件的保护路径..."));

    for (const char* fixture : {"protect_version_minus_1.xml", "protect_wrong_root.xml",
                                "protect_without_values.xml", "not_xml.xml"}) {
        SCOPED_TRACE(fixture);
        Protected(fixture);
        EXPECT_EQ(IWebInteractive::GetProtectedVersion("G1"), -1);
        EXPECT_STREQ(IWebInteractive::GetProtectedInstallPath("G1"), "");
        EXPECT_FALSE(Exists("C:\\Protect.xml"));
    }
    // The document vanished from the disk.
    std::filesystem::remove(machine.HostPath(kProtectXml));
    EXPECT_EQ(IWebInteractive::GetProtectedVersion("G1"), -1);
}

TEST_F(StoreQueries, AStaleScratchCopyIsRemovedWhateverTheOutcome) {
    Protected("protect_version_7.xml");
    PutFile("C:\\Protect.xml", "left by an interrupted run");
    EXPECT_EQ(IWebInteractive::GetProtectedVersion("G1"), 7);
    EXPECT_FALSE(Exists("C:\\Protect.xml"));
}

TEST_F(StoreQueries, GuidsThatCannotNameAStoreDirectoryAreRefused) {
    for (const char* guid : {".", "..", "a\\b", "a/b", "D:", "a\"b", "a\tb"}) {
        SCOPED_TRACE(guid);
        PutFixture("protect_version_7.xml", kProtectXml);
        wi::store::RememberProtection(guid, kProtectXml);
        EXPECT_STREQ(IWebInteractive::GetProtectXmlPath(guid), "");
        EXPECT_STREQ(IWebInteractive::GetProtectedInstallPath(guid), "");
        EXPECT_EQ(IWebInteractive::GetProtectedVersion(guid), -1);
    }
}

}  // namespace
