// Which store root an item gets: the last fixed drive with more than its size plus 50 MB free.
#include <gtest/gtest.h>

#include "drives_machine.h"
#include "inc/narrow_text.h"
#include "store/store_layout.h"
#include "store_fixture.h"

namespace {

constexpr std::uint64_t kMb = 1024 * 1024;

class StoreRoot : public wi::test::StoreTest {
protected:
    wi::test::DrivesMachine disks;
};

TEST_F(StoreRoot, LastDriveWithRoomBeyondTheHeadroom) {
    disks.freeBytes = {{'C', 10240 * kMb}, {'D', 60 * kMb}};
    EXPECT_EQ(wi::store::ChooseStoreRoot(5 * 1024), "D:\\qel_protect\\software\\");
    EXPECT_TRUE(Exists("D:\\qel_protect\\software"));
    EXPECT_EQ(wi::store::ChooseStoreRoot(20 * 1024), "C:\\qel_protect\\software\\");

    // Free space equal to the size plus 51,200 KB is not enough.
    disks.freeBytes = {{'C', 0}, {'D', (100 + 51200) * 1024}};
    EXPECT_EQ(wi::store::ChooseStoreRoot(100), "");
    EXPECT_EQ(wi::store::ChooseStoreRoot(99), "D:\\qel_protect\\software\\");
}

TEST_F(StoreRoot, NoDriveNoRoot) {
    disks.notFixed = "CD";
    Reinit();
    EXPECT_EQ(wi::store::ChooseStoreRoot(0), "");
}

TEST(StoreNames, OnlySingleDirectoryNamesPass) {
    const std::string chinese = wi::inc::NarrowFromUtf8("软件");
    for (const char* good : {"{5F3A-11}", "1.0", chinese.c_str(), "a b"}) {
        EXPECT_TRUE(wi::store::IsStoreName(good)) << good;
    }
    for (const char* bad : {"", ".", "..", "a\\b", "a/b", "C:x", "a\"b", "a\nb", "a\x7f"}) {
        EXPECT_FALSE(wi::store::IsStoreName(bad)) << bad;
    }
}

}  // namespace
