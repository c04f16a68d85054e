// The protected-software table: what the loader takes from the user document, and its update.
#include <gtest/gtest.h>

#include "drives_machine.h"
#include "store/protected_table.h"
#include "store_fixture.h"
#include "webinteractive/store.h"

namespace {

using Pairs = std::vector<wi::store::ProtectedPair>;

class ProtectedTable : public wi::test::StoreTest {};

TEST_F(ProtectedTable, LoadsEveryEntryWithBothValuesInDocumentOrder) {
    PutFixture("user_odd_names.xml", kUserXml);
    EXPECT_EQ(wi::store::LoadProtectedTable(), 1);
    // USER and Software in any case; an empty value or a "GUID" in capitals adds nothing; a
    // repeated GUID is appended and the first pair answers lookups.
    EXPECT_EQ(wi::store::ProtectedPairs(),
              (Pairs{{"A", "D:\\a\\Protect.xml"}, {"A", "D:\\a2\\Protect.xml"}}));
    EXPECT_STREQ(IWebInteractive::GetProtectXmlPath("A"), "D:\\a\\Protect.xml");
    EXPECT_STREQ(IWebInteractive::GetProtectXmlPath("a"), "");
    EXPECT_STREQ(IWebInteractive::GetProtectXmlPath(""), "");
    EXPECT_STREQ(IWebInteractive::GetProtectXmlPath(nullptr), "");
    EXPECT_FALSE(Exists("C:\\qeluser.xml"));
}

TEST_F(ProtectedTable, InitLoadsTheTableAndEachLoadReplacesIt) {
    PutFixture("user_two.xml", kUserXml);
    Reinit();
    EXPECT_STREQ(IWebInteractive::GetProtectXmlPath("G2"), "D:\\qel_protect\\software\\G2\\Protect.xml");
    std::filesystem::remove(machine.HostPath(kUserXml));
    EXPECT_EQ(wi::store::LoadProtectedTable(), 1);
    EXPECT_TRUE(wi::store::ProtectedPairs().empty());
}

TEST_F(ProtectedTable, DocumentsThatDoNotServeLeaveItEmpty) {
    PutFixture("user_two.xml", kUserXml);
    ASSERT_EQ(wi::store::LoadProtectedTable(), 1);
    PutFixture("not_xml.xml", kUserXml);
    EXPECT_EQ(wi::store::LoadProtectedTable(), 0);
    EXPECT_TRUE(wi::store::ProtectedPairs().empty());
    EXPECT_FALSE(Exists("C:\\qeluser.xml"));

    PutFixture("wrong_root.xml", kUserXml);
    EXPECT_EQ(wi::store::LoadProtectedTable(), 1);
    EXPECT_TRUE(wi::store::ProtectedPairs().empty());
}

TEST_F(ProtectedTable, AStaleScratchCopyIsRemovedAndNeverLoaded) {
    // An interrupted run left its scratch copy; there is no user document now.
    PutFixture("user_two.xml", "C:\\qeluser.xml");
    EXPECT_EQ(wi::store::LoadProtectedTable(), 1);
    EXPECT_TRUE(wi::store::ProtectedPairs().empty());
    EXPECT_FALSE(Exists("C:\\qeluser.xml"));
}

TEST_F(ProtectedTable, NoFixedDriveMeansNoTable) {
    PutFixture("user_two.xml", kUserXml);
    wi::test::DrivesMachine drives;
    drives.notFixed = "CD";
    Reinit();
    EXPECT_TRUE(wi::store::ProtectedPairs().empty());
}

TEST_F(ProtectedTable, RememberUpdatesTheFirstPairOrAppends) {
    PutFixture("user_odd_names.xml", kUserXml);
    wi::store::LoadProtectedTable();
    wi::store::RememberProtection("A", "D:\\a\\Protect.xml");  // the same path: unchanged
    wi::store::RememberProtection("A", "E:\\new\\Protect.xml");
    wi::store::RememberProtection("Z", "D:\\z\\Protect.xml");
    EXPECT_EQ(wi::store::ProtectedPairs(),
              (Pairs{{"A", "E:\\new\\Protect.xml"}, {"A", "D:\\a2\\Protect.xml"},
                     {"Z", "D:\\z\\Protect.xml"}}));
}

}  // namespace
