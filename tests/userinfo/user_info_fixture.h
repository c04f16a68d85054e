// The fixture of the user-document tests: a library test (a fresh machine, the "qeluser" parameter
// and the configuration cleared, the status lines of every call) whose fixed drives are those of
// its machine, with the service's configuration for the user document.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "frame/config.h"
#include "frame/drives.h"
#include "support/library_test.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "userinfo/user_xml_path.h"
#include "webinteractive/FileOperator.h"

namespace wi::test::userinfo {

class UserInfoTest : public wi::test::LibraryTest {
protected:
    void SetUp() override {
        wi::frame::RebuildFixedDrives();
        wi::userinfo::UserXmlPath().clear();
    }
    void TearDown() override {
        LibraryTest::TearDown();
        wi::frame::RebuildFixedDrives();
    }
    // The service: answers the read address with the fixture, accepts uploads at /upload.
    static void Configure(const wi::test::NginxPeer& web, const std::string& readPath) {
        wi::frame::Configuration config;
        config.upUserUrl = web.Url("/upload");
        config.readUserUrl = web.Url(readPath);
        config.machineNum = "AB-12";
        wi::frame::SetConfig(config);
    }
    void MakeFile(const std::string& windowsPath) const {
        CXFileOperator::InsureDirectoryExist(CXFileOperator::GetDirectoryPart(windowsPath));
        wi::test::TempMachine::WriteHostFile(machine_.HostPath(windowsPath), "<users/>");
    }
};

}  // namespace wi::test::userinfo
