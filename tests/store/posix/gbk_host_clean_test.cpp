// A host that switches to GBK in code while its environment says UTF-8: the store's removal
// command is read in the host's code page, so a trail byte 0x5C in a GUID splits no path.
#include <clocale>

#include "../protect_support.h"
#include "support/gbk_locale.h"

namespace {

using wi::test::Software;

class GbkHost : public wi::test::StoreTest {};

TEST_F(GbkHost, CleaningASoftwareWhoseNameHoldsATrailByte5CRemovesOnlyItsFolder) {
    wi::test::GbkLocale gbk(wi::test::GbkLocale::kInCodeOnly);
    if (!gbk.Active()) GTEST_SKIP() << gbk.Reason();
    ASSERT_NE(std::setlocale(LC_ALL, "zh_CN.GBK"), nullptr);
    // One GBK character whose trail byte is 0x5C, then two dots: a plain store name in GBK; read
    // as UTF-8 it would be "<81>\.." and name the store root itself.
    const std::string guid = "\x81\x5c..";
    const std::string root = kStoreRoot;
    ASSERT_EQ(IWebInteractive::ProtectFilesToLocal(Software("OTHER"), nullptr), 1);
    ASSERT_EQ(IWebInteractive::ProtectFilesToLocal(Software(guid), nullptr), 1);
    ASSERT_TRUE(Exists(root + guid + "\\Protect.xml"));

    EXPECT_EQ(IWebInteractive::CleanProtectSoftware(guid.c_str()), 1);
    EXPECT_FALSE(Exists(root + guid));
    EXPECT_TRUE(Exists(root + "OTHER\\Protect.xml"));
    EXPECT_EQ(UserDocumentPairs(), (std::vector<std::pair<std::string, std::string>>{
                                       {"OTHER", root + "OTHER\\Protect.xml"}}));
    EXPECT_EQ(IWebInteractive::GetProtectedVersion("OTHER"), 3);
}

}  // namespace
