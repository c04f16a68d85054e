// The host CLI against the reference service, one test per flow of the main job: each subcommand
// run as a user would on a machine of its own, its exit status and its effect on the service, the
// machine, the store and the registry checked.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "platform/codepage.h"
#include "support/registry_probe.h"

namespace {

using wi::test::CliRun;
using wi::test::FileBytes;
using wi::test::Narrow;
using wi::test::kCiba;
using wi::test::kRising;
using wi::test::ServicePeer;
using wi::test::TempMachine;

class CliFlowsTest : public testing::Test {
protected:
    CliFlowsTest() { wi::test::AddDemoData(service_); }

    CliRun Run(const std::vector<std::string>& arguments) const {
        return wi::test::RunCli(machine_, arguments);
    }
    // Runs a subcommand that must succeed.
    CliRun Ok(const std::vector<std::string>& arguments) const {
        const CliRun run = Run(arguments);
        EXPECT_EQ(0, run.exit) << arguments.front() << "\n" << run.out << run.err;
        return run;
    }
    // The last Windows path the run printed: where a download or a store query put its answer.
    static std::string LastPath(const CliRun& run) {
        static const std::regex path("[A-Z]:\\\\[^\n\"]*");
        std::string last;
        for (std::sregex_iterator it(run.out.begin(), run.out.end(), path), end; it != end; ++it) {
            last = it->str();
        }
        return last;
    }
    std::string Host(const std::string& windowsPath) const {
        return wi::test::ReadFile(machine_, windowsPath);
    }
    std::string HostFile(const std::string& name, const std::string& content) const {
        return wi::test::HostFile(machine_, name, content);
    }
    std::string Url(const std::string& path) const { return service_.Url(path); }

    const std::string softwares_ = std::string(WI_TEST_FIXTURES) + "/softwares.xml";
    TempMachine machine_;
    ServicePeer service_;
};

TEST_F(CliFlowsTest, ListsGoUpAndComeBackDown) {
    EXPECT_TRUE(Ok({"softlist", "create", "--list", softwares_}).Printed("{E2E-0002}"));
    Ok({"softlist", "upload", "--list", softwares_, "--url", Url("/upload/softlist")});
    ASSERT_EQ(1u, service_.Uploads("softlist").size());
    const CliRun ids = Ok({"softlist", "download", "--url", Url("/softlist")});
    EXPECT_TRUE(ids.Printed(Narrow("{E2E-0001} \"金山词霸\""))) << ids.out;
    EXPECT_TRUE(ids.Printed(Narrow("{E2E-0002} \"瑞星杀毒\""))) << ids.out;
    // The same list read from a file: the service's answer (UTF-8) as a host would have kept it,
    // in its narrow code page.
    const std::string kept = machine_.Root() + "/softids.xml";
    wi::test::TempMachine::WriteHostFile(kept,
                                         Narrow(wi::test::RunShell("curl -s " + Url("/softlist"))));
    EXPECT_TRUE(Ok({"softlist", "parse", "--file", kept}).Printed(Narrow("{E2E-0002} \"瑞星杀毒\"")));

    EXPECT_TRUE(
        Ok({"filelist", "create", "--list", softwares_}).Printed("<GUID>{E2E-0002}</GUID>"));
    Ok({"filelist", "save", "--list", softwares_, "--out", "C:\\upload.xml"});
    EXPECT_NE(std::string::npos, Host("C:\\upload.xml").find("<GUID>{E2E-0002}</GUID>"));
    Ok({"filelist", "upload", "--list", softwares_, "--url", Url("/upload/filelist")});
    ASSERT_EQ(1u, service_.Uploads("filelist").size());
    // The demo data knows only the first software; the second comes from the uploaded list.
    const CliRun rising = Ok({"filelist", "download", "--url", Url("/filelist"), "--guid", kRising,
                              "--save", "C:\\rising.xml"});
    EXPECT_TRUE(rising.Printed(Narrow("瑞星杀毒"))) << rising.out;
    EXPECT_NE(std::string::npos, Host("C:\\rising.xml").find("<GUID>{E2E-0002}</GUID>"));
    EXPECT_TRUE(Ok({"certain", "--url", Url("/certain"), "--guid", kCiba, "--version", "-1"})
                    .Printed(Narrow("金山词霸")));

    Ok({"installinfo", "upload", "--list", softwares_, "--url", Url("/upload/installinfo"),
        "--guid", kRising});
    ASSERT_EQ(1u, service_.Uploads("installinfo").size());
    EXPECT_NE(std::string::npos, service_.Uploads("installinfo")[0].find("{E2E-0002}"));

    // The patch list, from a file and from the service.
    EXPECT_TRUE(Ok({"patch", "parse", "--file", std::string(WI_TEST_FIXTURES) + "/patchlist.xml"})
                    .Printed("{E2E-0001}"));
    const CliRun patches = Ok({"patch", "parse", "--url", Url("/patchlist?guid=%7bE2E%2d0001%7d"),
                               "--save", "C:\\patches.xml"});
    EXPECT_TRUE(patches.Printed("{E2E-0001}")) << patches.out;
    EXPECT_NE(std::string::npos, Host("C:\\patches.xml").find("<GUID>{E2E-0001}</GUID>"));

    const wi::test::SettledLog requests = service_.Requests();
    EXPECT_EQ(1, requests.Count("POST /upload/softlist 200"));
    EXPECT_EQ(2, requests.Count("GET /softlist 200"));
    EXPECT_EQ(1, requests.Count("POST /upload/filelist 200"));
    EXPECT_EQ(
        1, requests.Count("GET /filelist?guid=%7bE2E%2d0002%7d&special_code=&pnversion= 200"));
    EXPECT_EQ(1, requests.Count("GET /certain?guid=%7bE2E%2d0001%7d&version=-1 200"));
    EXPECT_EQ(1, requests.Count("POST /upload/installinfo 200"));
    EXPECT_EQ(1, requests.Count("GET /patchlist?guid=%7bE2E%2d0001%7d 200"));
    EXPECT_EQ(8, requests.Count(""));
}

TEST_F(CliFlowsTest, FilesAreDownloadedWholeAndTheServiceToldOfRemovals) {
    const CliRun patch = Ok({"patch", "download", "--url", Url("/patch"), "--id", "KB-2001"});
    EXPECT_EQ(FileBytes(300 * 1024, 1), Host(LastPath(patch))) << patch.out;
    const CliRun soft = Ok({"download", "soft", "--url", Url("/softfile"), "--guid", kCiba,
                            "--soft-code", "S1", "--file-code", "F01", "--type", "1"});
    EXPECT_EQ(FileBytes(4096, 3), Host(LastPath(soft))) << soft.out;
    const std::string setup = FileBytes(2 * 1024 * 1024 + 17, 2);
    const CliRun install = Ok({"download", "install", "--url", Url("/install"), "--subdir", "ciba",
                               "--name", "setup\\ciba_setup.exe"});
    EXPECT_EQ(setup, Host(LastPath(install))) << install.out;
    Ok({"download", "install-to", "--url", Url("/install"), "--subdir", "ciba", "--name",
        "setup\\ciba_setup.exe", "--dir", "D:\\Setup\\"});
    EXPECT_EQ(setup, Host("D:\\Setup\\setup\\ciba_setup.exe"));
    EXPECT_TRUE(
        Ok({"size", "--url", Url("/size"), "--name", "setup/ciba_setup.exe"}).Printed("2097169"));
    Ok({"remove-info", "--url", Url("/removefileinfo"), "--guid", kCiba, "--version", "2", "--code",
        "C01"});
    EXPECT_EQ("{E2E-0001}\t2\tC01\n", TempMachine::ReadHostFile(service_.Data() + "/removed.log"));

    const wi::test::SettledLog requests = service_.Requests();
    EXPECT_EQ(1, requests.Count("GET /patch?patchid=KB%2d2001 200"));
    EXPECT_EQ(1, requests.Count("GET /files/patches/KB-2001 200 307200"));
    EXPECT_EQ(1, requests.Count("GET /softfile?guid=%7bE2E%2d0001%7d&soft_code=S1&file_code=F01&"
                                "file_type=1 200 4096"));
    EXPECT_EQ(2, requests.Count("GET /install?filename=setup%5cciba%5fsetup%2eexe 200"));
    EXPECT_EQ(2, requests.Count("GET /files/setup/ciba_setup.exe 200 2097169"));
    EXPECT_EQ(1, requests.Count("GET /size?filename=setup%2fciba%5fsetup%2eexe 200"));
    EXPECT_EQ(1, requests.Count("HEAD /files/setup/ciba_setup.exe 200"));
    EXPECT_EQ(1, requests.Count("GET /removefileinfo?"));
    EXPECT_EQ(10, requests.Count(""));
}

TEST_F(CliFlowsTest, ASoftwareIsProtectedItsRegistryRestoredAndItsProtectionCleaned) {
    wi::test::PutFile(machine_, Narrow("D:\\金山词霸\\ciba.exe"), FileBytes(200000, 4));
    wi::test::PutFile(machine_, Narrow("D:\\金山词霸\\data\\词库.dat"), FileBytes(90000, 5));
    wi::test::PutFile(machine_, "C:\\Windows\\System32\\ciba_core.dll", "shared");
    Ok({"protect", "--list", softwares_, "--guid", kCiba});
    const std::string stored = Narrow("D:\\qel_protect\\software\\{E2E-0001}\\2\\金山词霸\\ciba.exe");
    EXPECT_EQ(FileBytes(200000, 4), Host(stored));

    const std::string protectXml = "D:\\qel_protect\\software\\{E2E-0001}\\Protect.xml";
    EXPECT_EQ(protectXml, LastPath(Ok({"query", "xml", "--guid", kCiba})));
    EXPECT_EQ(Narrow("D:\\金山词霸"), LastPath(Ok({"query", "install", "--guid", kCiba})));
    EXPECT_TRUE(Ok({"query", "version", "--guid", kCiba}).Printed("2\n"));
    EXPECT_EQ(
        stored,
        LastPath(Ok({"query", "file", "--xml", protectXml, "--source",
                     Narrow("D:\\金山词霸\\ciba.exe")})));

    // A value changed by hand in the registry, then the stored configuration restored.
    const std::string key = Narrow("HKEY_CURRENT_USER\\Software\\Kingsoft\\金山词霸");
    EXPECT_EQ(key + Narrow("\tSkin\t1\t红色\n"),
              Ok({"registry", "set", "--key", key, "--name", "Skin", "--type", "1", "--data",
                  Narrow("红色")})
                  .out);
    std::string skin, port;
    EXPECT_TRUE(wi::test::ReadRegistryText(key, "Skin", skin));
    EXPECT_EQ(Narrow("红色"), skin);
    const CliRun restore = Ok({"config", "restore", "--list", softwares_, "--guid", kCiba});
    EXPECT_TRUE(restore.Printed(Narrow("配置项Skin 恢复成功"))) << restore.out;
    EXPECT_TRUE(wi::test::ReadRegistryText(key, "Skin", skin));
    EXPECT_EQ(Narrow("蓝色"), skin);
    EXPECT_TRUE(wi::test::ReadRegistryText(key, "Port", port));
    EXPECT_EQ("8080", port);
    const std::string configDocument = LastPath(Ok({"config", "protect", "--list", softwares_}));
    EXPECT_NE(std::string::npos, Host(configDocument).find("Skin")) << configDocument;

    Ok({"clean", "--guid", kCiba});
    EXPECT_FALSE(std::filesystem::exists(machine_.HostPath(stored)));
    EXPECT_EQ(1, Run({"query", "xml", "--guid", kCiba}).exit);
    EXPECT_EQ(0, service_.Requests().Count(""));  // the store is the machine's own business
}

TEST_F(CliFlowsTest, MachineInformationUserDocumentSoftwareFilesAndTheLogReachTheService) {
    const std::string config =
        HostFile("config.xml", wi::test::ServiceConfig(service_.Url(""), "E2E-9"));
    EXPECT_TRUE(Ok({"machine"}).Printed("D:"));
    EXPECT_TRUE(Ok({"init", "--config", config}).Printed(Url("/upload/user")));

    Ok({"sysinfo", "upload", "--config", config});
    ASSERT_EQ(1u, service_.Uploads("sysinfo").size());
    EXPECT_NE(std::string::npos, service_.Uploads("sysinfo")[0].find("<Drive>D:</Drive>"));

    // The first run finds no user document and tells the service the one it will use.
    Ok({"userinfo", "update", "--config", config});
    const std::string qelUser = "D:\\qel_protect\\software\\qeluser.xml";
    ASSERT_FALSE(service_.Uploads("user").empty());
    EXPECT_NE(std::string::npos,
              service_.Uploads("user").back().find("<qeluser>" + qelUser + "</qeluser>"));
    EXPECT_EQ(qelUser, LastPath(Ok({"userinfo", "read", "--config", config})));

    wi::test::PutFile(machine_, "C:\\report\\dump.bin", FileBytes(70000, 6));
    Ok({"softfile", "upload", "--url", Url("/upload/softfile"), "--first", "{E2E-0001}", "--second",
        "dump.bin", "--file", "C:\\report\\dump.bin"});
    EXPECT_EQ(std::vector<std::string>{FileBytes(70000, 6)}, service_.Uploads("softfile"));

    const std::string state = machine_.Root() + "/log.state";
    Ok({"log", "start", "--state", state});
    Ok({"log", "add", "--state", state, "--guid", kCiba, "--special-code", "KS-2", "--result",
        Narrow("保护成功"), "--details", Narrow("复制文件|写入注册表")});
    Ok({"log", "stop", "--state", state, "--config", config, "--type", "protect", "--source",
        "cli"});
    ASSERT_EQ(1u, service_.Uploads("log").size());
    std::string log;
    ASSERT_TRUE(wi::platform::ConvertEncoding("GB2312", "UTF-8", service_.Uploads("log")[0], log));
    EXPECT_NE(std::string::npos, log.find("<Result>保护成功</Result>")) << log;
    EXPECT_NE(std::string::npos, log.find("<Detail>写入注册表</Detail>")) << log;

    const wi::test::SettledLog requests = service_.Requests();
    EXPECT_EQ(1, requests.Count("POST /upload/sysinfo?machinenum=E2E%2d9 200"));
    EXPECT_EQ(1,
              requests.Count("POST /upload/softfile?filename=%7bE2E%2d0001%7d\\dump%2ebin 200"));
    EXPECT_EQ(1, requests.Count("POST /upload/user 200"));
    EXPECT_EQ(1, requests.Count("GET /userinfo?MachineNum=E2E%2d9 200"));
    EXPECT_EQ(1, requests.Count("POST /upload/log 200"));
    EXPECT_EQ(5, requests.Count(""));
}

}  // namespace
