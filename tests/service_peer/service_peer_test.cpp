// The library's own operations against webinteractive-service: what it keeps, what it answers
// and how many requests it receives.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <list>
#include <set>
#include <string>

#include "frame/config.h"
#include "service_peer.h"
#include "support/temp_machine.h"
#include "userinfo/user_xml_path.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/webinteractive.h"

namespace {

using wi::test::ServicePeer;
using wi::test::TempMachine;

class ServicePeerTest : public testing::Test {
protected:
    void SetUp() override { IHelperInc::SetStatusSink(&ServicePeerTest::Ignore, nullptr); }
    void TearDown() override { IHelperInc::SetStatusSink(nullptr, nullptr); }

    static ISoftInfoInc::_SoftInfo Soft(const std::string& guid, const std::string& version) {
        ISoftInfoInc::_SoftInfo soft;
        soft.GUID = guid;
        soft.Name = "Name of " + guid;
        soft.Version = version;
        soft.creator = "tester";
        return soft;
    }
    // The HTTP status the service gives a target, sent as it stands ("..", "%2e" kept).
    static std::string StatusOf(const std::string& url) {
        return wi::test::RunShell("curl -s --path-as-is -o /dev/null -w '%{http_code}' '" + url +
                                  "'");
    }
    static void SaveParameter(const std::string& value) {
        std::string name = "qeluser";
        std::string copy = value;
        IHelperInc::SaveParam(name, copy);
    }

    TempMachine machine_;

private:
    static void Ignore(const char*, void*) {}
};

TEST_F(ServicePeerTest, SoftListUploadsAreKeptAndComeBackAsOneSoftwareIdList) {
    ServicePeer service;
    const std::string upload = service.Url("/upload/softlist");
    ASSERT_EQ(1, IWebInteractive::UploadSoftList(upload.c_str(), {{"{A}", "alpha", "1"},
                                                                   {"{B}", "beta", "2"}}));
    ASSERT_EQ(1, IWebInteractive::UploadSoftList(upload.c_str(), {{"{B}", "beta", "2"},
                                                                   {"{C}", "gamma", "3"}}));
    EXPECT_EQ(2u, service.Uploads("softlist").size());  // the second did not replace the first

    const auto& ids = IWebInteractive::DownloadSoftList(service.Url("/softlist").c_str());
    std::set<std::string> seen;
    for (const auto& id : ids) seen.insert(id.GUID + "/" + id.pn_name);
    EXPECT_EQ((std::set<std::string>{"{A}/alpha", "{B}/beta", "{C}/gamma"}), seen);
    EXPECT_EQ(2, service.Count("POST /upload/softlist 200 4", 2));
    EXPECT_EQ(1, service.Count("GET /softlist 200", 1));
}

TEST_F(ServicePeerTest, FileListsComeBackPerGuidFromUploadsOrTheDataDirectory) {
    ServicePeer service;
    const std::string upload = service.Url("/upload/filelist");
    ASSERT_EQ(1, IWebInteractive::UploadFileList(
                     upload.c_str(), {Soft("{ONE}", "1.0"), Soft("{TWO}", "2.0"), Soft("{TWO}", "2.1")}));

    int locked = -1;
    const std::string list = service.Url("/filelist");
    const auto& two = IWebInteractive::DownloadFileList(list.c_str(), "{TWO}", "", "", locked, nullptr);
    ASSERT_EQ(2u, two.size());
    EXPECT_EQ("{TWO}", two.front().GUID);
    EXPECT_EQ("2.0", two.front().Version);
    EXPECT_EQ("2.1", two.back().Version);
    EXPECT_EQ(1, service.Count("GET /filelist?guid=%7bTWO%7d&special_code=&pnversion= 200", 1));

    // A list placed in the data directory is answered before any upload.
    service.AddFile("filelists/{ONE}.xml",
                    "<softwares><software><BaseInfo><Name>placed</Name></BaseInfo><Version>"
                    "<VersionInfo><GUID>{ONE}</GUID><Version>9</Version></VersionInfo>"
                    "</Version></software></softwares>");
    const auto& one = IWebInteractive::DownloadFileList(list.c_str(), "{ONE}", "", "", locked, nullptr);
    ASSERT_EQ(1u, one.size());
    EXPECT_EQ("9", one.front().Version);

    EXPECT_TRUE(IWebInteractive::DownloadFileList(list.c_str(), "{NONE}", "", "", locked, nullptr).empty());
    EXPECT_EQ(1, service.Count("GET /filelist?guid=%7bNONE%7d&special_code=&pnversion= 404", 1));
}

TEST_F(ServicePeerTest, InstallFilesAndSizesAreLocatedOnTheService) {
    ServicePeer service;
    service.AddFile("files/tools/setup one.exe", "the install file");

    char path[300] = "left over";
    ASSERT_EQ(1, IWebInteractive::DownloadInstallFile(service.Url("/install").c_str(), "sub",
                                                      "tools\\setup one.exe", path, nullptr));
    EXPECT_EQ("the install file", TempMachine::ReadHostFile(machine_.HostPath(path)));
    EXPECT_EQ(1, service.Count("GET /install?filename=tools%5csetup%20one%2eexe 200", 1));
    EXPECT_EQ(1, service.Count("GET /files/tools/setup%20one.exe 200 16", 1));

    EXPECT_EQ(16, IWebInteractive::GetDownloadSize(service.Url("/size").c_str(),
                                                   "tools/setup one.exe"));
    EXPECT_EQ(1, service.Count("HEAD /files/tools/setup%20one.exe 200", 1));
    EXPECT_EQ(-1, IWebInteractive::GetDownloadSize(service.Url("/size").c_str(), "missing.exe"));
    EXPECT_EQ(1, service.Count("GET /size?filename=missing%2eexe 404", 1));
}

TEST_F(ServicePeerTest, InstallInfoIsAcceptedAndRemovalNoticesRecorded) {
    ServicePeer service;
    EXPECT_STREQ("TRUE", IWebInteractive::UploadFileInfo(service.Url("/upload/installinfo").c_str(),
                                                         Soft("{G}", "1")));
    ASSERT_EQ(1u, service.Uploads("installinfo").size());
    EXPECT_NE(std::string::npos, service.Uploads("installinfo")[0].find("<creator>tester</creator>"));

    const std::string url = service.Url("/removefileinfo");
    const char* address = url.c_str();
    const char* guid = "{G}";
    const char* version = "1.0";
    const char* code = "C\n1";
    EXPECT_EQ(1, IWebInteractive::RemoveFileInfo(address, guid, version, code));
    EXPECT_EQ("{G}\t1.0\tC 1\n", TempMachine::ReadHostFile(service.Data() + "/removed.log"));
}

TEST_F(ServicePeerTest, UserInfoReadsBackWhatWasUploadedForTheMachine) {
    ServicePeer service;
    wi::frame::Configuration config;
    config.upUserUrl = service.Url("/upload/user");
    config.readUserUrl = service.Url("/userinfo");
    config.machineNum = "AB-12";
    wi::frame::SetConfig(config);
    for (const char* file : {"C:\\mine.xml", "C:\\other.xml"}) {
        TempMachine::WriteHostFile(machine_.HostPath(file), "<users/>");
    }
    SaveParameter("C:\\mine.xml");
    ASSERT_EQ("C:\\mine.xml", wi::userinfo::GetUserXmlPath());

    EXPECT_EQ(1, IWebInteractive::UpdateUserInfo());
    SaveParameter("C:\\other.xml");
    ASSERT_EQ("C:\\other.xml", wi::userinfo::GetUserXmlPath());
    EXPECT_STREQ("C:\\mine.xml", IWebInteractive::ReadUserInfo());
    EXPECT_EQ(1, service.Count("GET /userinfo?MachineNum=AB%2d12 200", 1));

    config.machineNum = "OTHER";  // nothing uploaded for it: the path stays
    wi::frame::SetConfig(config);
    EXPECT_STREQ("C:\\mine.xml", IWebInteractive::ReadUserInfo());
    EXPECT_EQ(1, service.Count("GET /userinfo?MachineNum=OTHER 200", 1));
}

TEST_F(ServicePeerTest, NamesLeavingTheDataDirectoryAreRefusedAndRangesServed) {
    ServicePeer service;
    service.AddFile("secret", "outside the files");
    service.AddFile("files/a.txt", "hello");
    std::filesystem::create_symlink(service.Data() + "/secret", service.Data() + "/files/out");
    std::filesystem::create_directory_symlink("/etc", service.Data() + "/files/etc");

    for (const char* target : {"/files/../secret", "/files/%2e%2e/secret", "/files/out",
                               "/files/etc/passwd", "/files//etc/passwd",
                               "/install?filename=..%5csecret", "/size?filename=%2fetc%2fpasswd",
                               "/softfile?guid=..&soft_code=s&file_code=secret&file_type=1",
                               "/filelist?guid=..%2f..%2fsecret"}) {
        EXPECT_EQ("404", StatusOf(service.Url(target))) << target;
    }
    EXPECT_EQ("el", wi::test::RunShell("curl -s -r 1-2 '" + service.Url("/files/a.txt") + "'"));
    EXPECT_EQ("206", wi::test::RunShell("curl -s -o /dev/null -w '%{http_code}' -r 1-2 '" +
                                        service.Url("/files/a.txt") + "'"));
}

TEST_F(ServicePeerTest, ABodyAboveTheLimitIsRefusedAndTheServiceGoesOn) {
    ServicePeer service({"--max-body", "100"});
    TempMachine::WriteHostFile(machine_.HostPath("C:\\big.bin"), std::string(101, 'x'));
    TempMachine::WriteHostFile(machine_.HostPath("C:\\small.bin"), std::string(100, 'x'));
    const std::string url = service.Url("/upload/log");
    char reply[1024] = "";
    EXPECT_EQ(1, IWebInteractive::UploadFile(url.c_str(), "C:\\big.bin", reply, nullptr, nullptr));
    EXPECT_STRNE("TRUE", reply);
    EXPECT_EQ(1, IWebInteractive::UploadFile(url.c_str(), "C:\\small.bin", reply, nullptr, nullptr));
    EXPECT_STREQ("TRUE", reply);
    EXPECT_EQ((std::vector<std::string>{std::string(100, 'x')}), service.Uploads("log"));
    EXPECT_EQ(1, service.Count("POST /upload/log 413", 1));
}

TEST(ServiceProgramTest, APortAlreadyTakenEndsWithOneLineAndStatusOne) {
    ServicePeer first;
    const auto run = wi::test::RunShell("'" WI_SERVICE_PROGRAM "' --data '" + first.Data() +
                                        "' --port " + std::to_string(first.port()) +
                                        " 2>&1; echo \"exit $?\"");
    EXPECT_EQ("webinteractive-service: cannot listen on 127.0.0.1:" + std::to_string(first.port()) +
                  " (in use or not available)\nexit 1\n",
              run);
}

}  // namespace
