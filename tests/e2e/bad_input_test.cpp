// Bad input end to end: the CLI without a running service, used wrongly or given documents it
// cannot use, and the service sent requests it must refuse. Each ends with a clear outcome in one
// line and loses nothing; the service goes on serving.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "webinteractive/webinteractive.h"

namespace {

using wi::test::CliRun;
using wi::test::kCiba;
using wi::test::ServicePeer;
using wi::test::TempMachine;

class BadInputTest : public testing::Test {
protected:
    // Runs the CLI and expects this exit status with one line on standard error naming it (the
    // status lines are left out).
    CliRun Fails(int exit, std::vector<std::string> arguments) const {
        arguments.push_back("--quiet");
        const CliRun run = wi::test::RunCli(machine_, arguments);
        std::string command;
        for (const std::string& argument : arguments) command += argument + " ";
        EXPECT_EQ(exit, run.exit) << command << "\n" << run.out << run.err;
        EXPECT_EQ(0u, run.err.rfind("webinteractive", 0)) << command << "\n" << run.err;
        EXPECT_EQ(run.err.size() - 1, run.err.find('\n')) << command << "\n" << run.err;
        return run;
    }
    // How many files lie under a folder of the machine (none when it does not exist).
    int FilesUnder(const std::string& windowsPath) const {
        int files = 0;
        std::error_code error;
        for (std::filesystem::recursive_directory_iterator
                 it(machine_.HostPath(windowsPath), error),
             end;
             !error && it != end; it.increment(error)) {
            files += it->is_regular_file();
        }
        return files;
    }
    std::string HostFile(const std::string& name, const std::string& content) const {
        return wi::test::HostFile(machine_, name, content);
    }

    const std::string softwares_ = std::string(WI_TEST_FIXTURES) + "/softwares.xml";
    const std::string templates_ = "C:\\ProgramData\\Microsoft\\Windows\\Templates";
    TempMachine machine_;
};

TEST_F(BadInputTest, WithoutARunningServiceEachOperationFailsInOneLineAndWritesNothing) {
    std::string dead;
    {
        ServicePeer gone;
        dead = gone.Url("");
    }  // its port is closed now
    const std::string config = HostFile("config.xml", wi::test::ServiceConfig(dead, "E2E-1"));
    const std::string state = machine_.Root() + "/log.state";
    ASSERT_EQ(0, wi::test::RunCli(
                     machine_, {"log", "add", "--state", state, "--guid", kCiba, "--result", "ok"})
                     .exit);

    Fails(1, {"softlist", "upload", "--list", softwares_, "--url", dead + "/upload/softlist"});
    Fails(1, {"softlist", "download", "--url", dead + "/softlist"});
    Fails(1, {"filelist", "download", "--url", dead + "/filelist", "--guid", kCiba, "--save",
              "C:\\lists\\ciba.xml"});
    Fails(1, {"certain", "--url", dead + "/certain", "--guid", kCiba, "--version", "-1"});
    Fails(1, {"patch", "download", "--url", dead + "/patch", "--id", "KB-2001"});
    Fails(1, {"download", "install", "--url", dead + "/install", "--subdir", "ciba", "--name",
              "setup.exe"});
    Fails(1, {"sysinfo", "upload", "--config", config});
    Fails(1, {"userinfo", "update", "--config", config});
    Fails(1, {"log", "stop", "--state", state, "--config", config});

    EXPECT_FALSE(std::filesystem::exists(machine_.HostPath("C:\\lists\\ciba.xml")));
    EXPECT_EQ(0, FilesUnder(templates_));
    EXPECT_EQ(0, FilesUnder("D:\\qel_protect"));
    EXPECT_EQ(0, FilesUnder("C:\\qel_protect"));
    // The log's entries wait for the service to come back.
    EXPECT_NE(std::string::npos, TempMachine::ReadHostFile(state).find(kCiba));
}

TEST_F(BadInputTest, WrongUsageAndUnusableDocumentsAreToldInOneLine) {
    ServicePeer service;
    Fails(2, {"frobnicate"});
    Fails(2, {"protect"});
    Fails(2, {"filelist", "download", "--url", service.Url("/filelist")});
    Fails(1, {"protect", "--list", machine_.Root() + "/missing.xml"});
    const std::string users = std::string(WI_TEST_FIXTURES) + "/not_a_filelist.xml";
    Fails(1, {"protect", "--list", users});
    Fails(1, {"filelist", "upload", "--list", users, "--url", service.Url("/upload/filelist")});
    Fails(1, {"protect", "--list", softwares_, "--guid", "{NOT-LISTED}"});
    EXPECT_EQ(0, FilesUnder("D:\\qel_protect"));
    EXPECT_EQ(0, service.Requests().Count(""));
}

TEST_F(BadInputTest, TheServiceRefusesMalformedHostileAndOversizedRequestsAndGoesOn) {
    ServicePeer service({"--max-body", "65536"});
    wi::test::AddDemoData(service);
    service.AddFile("secret.txt", "outside the files");

    // A request line that is not HTTP.
    EXPECT_EQ("400", wi::test::RunShell("curl -s -o /dev/null -w '%{http_code}' --request-target "
                                        "'/files/a b' " +
                                        service.Url("/")));
    // Names that climb out of the data directory.
    Fails(1, {"download", "install", "--url", service.Url("/install"), "--subdir", "ciba", "--name",
              "..\\secret.txt"});
    EXPECT_EQ(-1, IWebInteractive::GetDownloadSize(service.Url("/size").c_str(), "../secret.txt"));
    EXPECT_EQ(0, FilesUnder(templates_));
    // A body above the limit is refused and not kept; the one after it, within, is.
    TempMachine::WriteHostFile(machine_.HostPath("C:\\big.bin"), wi::test::FileBytes(65537, 7));
    TempMachine::WriteHostFile(machine_.HostPath("C:\\small.bin"), wi::test::FileBytes(65536, 8));
    char reply[1024] = "";
    const std::string upload = service.Url("/upload/softfile");
    EXPECT_EQ(1,
              IWebInteractive::UploadFile(upload.c_str(), "C:\\big.bin", reply, nullptr, nullptr));
    EXPECT_STRNE("TRUE", reply);
    const CliRun small = wi::test::RunCli(
        machine_,
        {"softfile", "upload", "--url", upload, "--first", "small", "--file", "C:\\small.bin"});
    EXPECT_EQ(0, small.exit) << small.out << small.err;
    EXPECT_EQ(std::vector<std::string>{wi::test::FileBytes(65536, 8)}, service.Uploads("softfile"));
    // Still serving files.
    const CliRun install =
        wi::test::RunCli(machine_, {"download", "install", "--url", service.Url("/install"),
                                    "--subdir", "ciba", "--name", "setup\\ciba_setup.exe"});
    EXPECT_EQ(0, install.exit) << install.out << install.err;

    const wi::test::SettledLog requests = service.Requests();
    EXPECT_EQ(1, requests.Count("GET /install?filename=%2e%2e%5csecret%2etxt 404"));
    EXPECT_EQ(1, requests.Count("GET /size?filename=%2e%2e%2fsecret%2etxt 404"));
    EXPECT_EQ(1, requests.Count("POST /upload/softfile 413"));
    EXPECT_EQ(1, requests.Count("POST /upload/softfile?filename=small\\ 200"));
    EXPECT_EQ(1, requests.Count("GET /files/setup/ciba_setup.exe 200 2097169"));
}

}  // namespace
