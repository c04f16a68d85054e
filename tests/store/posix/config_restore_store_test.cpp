// What RestoreConfig hands the repair library, read back from the machine's registry store.
#include <gtest/gtest.h>

#include <list>

#include "../config_restore_fixture.h"

namespace {

class RestoreConfigStore : public wi::test::RestoreConfigFixture {
protected:
    std::list<IConfInfoInc::_ConfInfo> Installed() {
        std::list<IConfInfoInc::_ConfInfo> installed;
        EXPECT_TRUE(ISoftRepairInc::ListInstalledConf(installed));
        return installed;
    }
};

TEST_F(RestoreConfigStore, EntriesArriveWithTheDocumentsTypeAndTheDefaultAction) {
    Protect("protect_version_7.xml", "config_other_root.xml");
    EXPECT_EQ(1, Restore("repair"));
    EXPECT_TRUE(Installed().empty());

    // Type 0 when the document has none; K1's "Action" 2 in the document would have removed it.
    Protect("protect_version_7.xml", "config_entries.xml");
    EXPECT_EQ(0, Restore("repair"));
    const std::list<IConfInfoInc::_ConfInfo> installed = Installed();
    ASSERT_EQ(2u, installed.size());
    EXPECT_EQ(kEntriesKey, installed.front().Source);
    EXPECT_EQ("K1", installed.front().Key);
    EXPECT_EQ("1", installed.front().Value);
    EXPECT_EQ(4, installed.front().Type);
    EXPECT_EQ("K2", installed.back().Key);
    EXPECT_EQ(0, installed.back().Type);
}

}  // namespace
