// What the tests of cancelled and failing protections share: a software G0 protected before the
// test's protection, the check that it is still listed, and a software of three files.
#pragma once

#include <string>

#include "protect_support.h"

namespace wi::test {

class ProtectFaultsFixture : public StoreTest {
protected:
    // G0 protected before the test's protection.
    void SetUp() override {
        StoreTest::SetUp();
        ASSERT_EQ(IWebInteractive::ProtectFilesToLocal(Software("G0"), nullptr), 1);
    }
    void ExpectEarlierProtectionKept() {
        EXPECT_EQ(UserDocumentPairs().front().first, "G0");
        EXPECT_EQ(IWebInteractive::GetProtectedVersion("G0"), 3);
    }
    // A software of three files of 1 KB.
    ISoftInfoInc::_SoftInfo ThreeFiles() {
        ISoftInfoInc::_SoftInfo soft = Software("G1");
        for (const char* sid : {"1", "2", "3"}) {
            const std::string path = std::string("D:\\App\\") + sid + ".dat";
            PutFile(path, std::string(1024, 'x'));
            soft.files.insert(SoftwareFile(sid, path));
        }
        return soft;
    }
};

}  // namespace wi::test
