// The fixture of the user-document tests: a fresh machine, the "qeluser" parameter, the service's
// configuration and the status lines of every call.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/config.h"
#include "frame/drives.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "userinfo/user_xml_path.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/status.h"

namespace wi::test::userinfo {

class UserInfoTest : public testing::Test {
protected:
    void SetUp() override {
        wi::frame::RebuildFixedDrives();
        SetParameter("");
        wi::userinfo::UserXmlPath().clear();
        IHelperInc::SetStatusSink(&UserInfoTest::Collect, &lines_);
    }
    void TearDown() override {
        IHelperInc::SetStatusSink(nullptr, nullptr);
        wi::frame::SetConfig({});
        SetParameter("");
        wi::frame::RebuildFixedDrives();
    }
    static void Collect(const char* line, void* context) {
        static_cast<std::vector<std::string>*>(context)->push_back(line);
    }
    static void SetParameter(std::string value) {
        std::string name = "qeluser";
        IHelperInc::SaveParam(name, value);
    }
    static std::string Parameter() {
        std::string name = "qeluser";
        return IHelperInc::ReadParam(name);
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
    bool HasLine(const std::string& line) const {
        for (const std::string& seen : lines_) {
            if (seen == line) return true;
        }
        return false;
    }

    wi::test::TempMachine machine_;
    std::vector<std::string> lines_;
};

}  // namespace wi::test::userinfo
