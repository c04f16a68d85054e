// The user-document path on the emulated machine: without fixed drives, and against an answer
// that names a file of the host process's working directory.
#include <filesystem>

#include "support/peers.h"
#include "userinfo/user_info_fixture.h"

namespace {

using wi::test::TempMachine;
using wi::test::userinfo::UserInfoTest;

// Without any fixed drive nothing is created and the path stays what the parameter gave.
TEST_F(UserInfoTest, WithoutAnyFixedDriveThePathStaysEmpty) {
    machine_.RemoveDrive('c');
    machine_.RemoveDrive('d');
    wi::frame::RebuildFixedDrives();
    SetUserXmlParameter("");
    EXPECT_EQ("", wi::userinfo::GetUserXmlPath());
    EXPECT_EQ("", UserXmlParameter());
}

// "victim.txt" exists in the working directory and, as C:\victim.txt, on the machine: neither
// becomes the user document, which the next protection would overwrite.
TEST_F(UserInfoTest, ARelativePathFromTheServiceNeverBecomesTheUserDocument) {
    wi::test::NginxPeer web;
    web.AddFile("user.xml", "<user><qeluser>victim.txt</qeluser></user>");
    Configure(web, "/user.xml");
    MakeFile("C:\\victim.txt");
    const std::string working = machine_.MakeHostDirectory("working");
    TempMachine::WriteHostFile(working + "/victim.txt", "precious");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(working);
    const std::string path = wi::userinfo::GetUserXmlPath();
    std::filesystem::current_path(previous);

    EXPECT_EQ("D:\\qel_protect\\software\\qeluser.xml", path);
    EXPECT_EQ("D:\\qel_protect\\software\\qeluser.xml", UserXmlParameter());
    EXPECT_EQ("precious", TempMachine::ReadHostFile(working + "/victim.txt"));
}

}  // namespace
