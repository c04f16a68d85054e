// The user-document path on an emulated machine without fixed drives.
#include "userinfo/user_info_fixture.h"

namespace {

using wi::test::userinfo::UserInfoTest;

// Without any fixed drive nothing is created and the path stays what the parameter gave.
TEST_F(UserInfoTest, WithoutAnyFixedDriveThePathStaysEmpty) {
    machine_.RemoveDrive('c');
    machine_.RemoveDrive('d');
    wi::frame::RebuildFixedDrives();
    SetParameter("");
    EXPECT_EQ("", wi::userinfo::GetUserXmlPath());
    EXPECT_EQ("", Parameter());
}

}  // namespace
