// The library against the reference service, flow by flow as the main job runs them: what the
// service keeps and answers, what lands on the machine, and how many requests each flow sends.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <list>
#include <set>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "platform/codepage.h"
#include "platform/registry.h"
#include "support/library_test.h"
#include "support/registry_probe.h"
#include "lists/request.h"
#include "userinfo/user_xml_path.h"
#include "webinteractive/host.h"
#include "webinteractive/repair.h"
#include "webinteractive/webinteractive.h"

namespace {

using wi::test::kCiba;
using wi::test::kRising;
using wi::test::Narrow;
using wi::test::ServicePeer;
using wi::test::TempMachine;

constexpr const char* kMachineNum = "E2E-7";
std::string StoredCiba() {
    return wi::test::Narrow("D:\\qel_protect\\software\\{E2E-0001}\\2\\金山词霸\\ciba.exe");
}

class LibraryFlowsTest : public wi::test::LibraryTest {
protected:
    void SetUp() override { wi::test::AddDemoData(service_); }
    void TearDown() override {
        if (HasFailure()) std::cout << "requests the service logged:\n" << service_.Output();
        IWebInteractive::GetLogInc()->SetParam("", "", "");
        IWebInteractive::Init("<Config/>");  // no service addresses left for the next test
        LibraryTest::TearDown();
    }

    void InitWithService() const {
        ASSERT_EQ(1, IWebInteractive::Init(
                         wi::test::ServiceConfig(service_.Url(""), kMachineNum).c_str()));
    }
    // The first software of the service's file list for a GUID, copied out of the library's list.
    ISoftInfoInc::_SoftInfo Listed(const char* guid) const {
        int locked = -1;
        const auto& softs = IWebInteractive::DownloadFileList(service_.Url("/filelist").c_str(),
                                                              guid, "", "", locked, nullptr);
        return softs.empty() ? ISoftInfoInc::_SoftInfo() : softs.front();
    }
    std::string Host(const std::string& windowsPath) const {
        return wi::test::ReadFile(machine_, windowsPath);
    }
    static std::string Utf8FromGb2312(const std::string& gb2312) {
        std::string utf8;
        EXPECT_TRUE(wi::platform::ConvertEncoding("GB2312", "UTF-8", gb2312, utf8));
        return utf8;
    }

    ServicePeer service_;
};

TEST_F(LibraryFlowsTest, SoftwareAndFileListsMakeTheRoundTripThroughTheService) {
    ASSERT_EQ(
        1, IWebInteractive::UploadSoftList(service_.Url("/upload/softlist").c_str(),
                                           {{kCiba, Narrow("金山词霸"), "2"}, {kRising, Narrow("瑞星杀毒"), "5"}}));
    std::set<std::string> ids;
    for (const auto& id : IWebInteractive::DownloadSoftList(service_.Url("/softlist").c_str())) {
        ids.insert(id.GUID + " " + id.pn_name + " " + id.pn_version);
    }
    // The reader of the answer leaves pn_version empty.
    EXPECT_EQ((std::set<std::string>{Narrow("{E2E-0001} 金山词霸 "), Narrow("{E2E-0002} 瑞星杀毒 ")}), ids);

    // The demo data's list of one software, uploaded again as another software's list.
    const ISoftInfoInc::_SoftInfo ciba = Listed(kCiba);
    EXPECT_EQ(Narrow("金山词霸"), ciba.Name);
    EXPECT_EQ("2", ciba.Version);
    EXPECT_EQ(2u, ciba.files.size());
    EXPECT_EQ(1u, ciba.dependences.size());
    EXPECT_EQ(2u, ciba.configs.size());
    EXPECT_TRUE(Listed(kRising).GUID.empty());  // nothing known of it yet
    ISoftInfoInc::_SoftInfo rising = ciba;
    rising.GUID = kRising;
    rising.Name = Narrow("瑞星杀毒");
    rising.Version = "5";
    ASSERT_EQ(1,
              IWebInteractive::UploadFileList(service_.Url("/upload/filelist").c_str(), {rising}));

    const ISoftInfoInc::_SoftInfo back = Listed(kRising);
    EXPECT_EQ(Narrow("瑞星杀毒"), back.Name);
    EXPECT_EQ("5", back.Version);
    EXPECT_EQ(ciba.files.size(), back.files.size());
    EXPECT_EQ(ciba.configs.size(), back.configs.size());
    ASSERT_FALSE(back.files.empty());
    EXPECT_EQ(ciba.files.begin()->SetupPath, back.files.begin()->SetupPath);

    const std::string saved = IWebInteractive::SaveDownloadFileListXml(
        service_.Url("/filelist").c_str(), kRising, "", "");
    ASSERT_FALSE(saved.empty());
    EXPECT_NE(std::string::npos, Host(saved).find("<GUID>{E2E-0002}</GUID>"));

    const ISoftInfoInc::_SoftInfo& latest =
        IWebInteractive::DownloadCertainFileList(service_.Url("/certain").c_str(), kRising, -1);
    EXPECT_EQ(Narrow("瑞星杀毒"), latest.Name);
    EXPECT_EQ("5", latest.Version);
    EXPECT_EQ(2u, latest.configs.size());

    const wi::test::SettledLog requests = service_.Requests();
    EXPECT_EQ(1, requests.Count("POST /upload/softlist 200"));
    EXPECT_EQ(1, requests.Count("GET /softlist 200"));
    EXPECT_EQ(
        1, requests.Count("GET /filelist?guid=%7bE2E%2d0001%7d&special_code=&pnversion= 200"));
    EXPECT_EQ(
        1, requests.Count("GET /filelist?guid=%7bE2E%2d0002%7d&special_code=&pnversion= 404"));
    EXPECT_EQ(1, requests.Count("POST /upload/filelist 200"));
    EXPECT_EQ(
        2, requests.Count("GET /filelist?guid=%7bE2E%2d0002%7d&special_code=&pnversion= 200"));
    EXPECT_EQ(1, requests.Count("GET /certain?guid=%7bE2E%2d0002%7d&version=-1 200"));
    EXPECT_EQ(8, requests.Count(""));
}

TEST_F(LibraryFlowsTest, ProtectionRegistryRestoreCleaningAndTheLogOfTheRun) {
    InitWithService();
    CLogInc* log = IWebInteractive::GetLogInc();
    log->SetParam(wi::test::ServiceConfig(service_.Url(""), kMachineNum).c_str(), "restore", "e2e");
    log->StartLog();

    // The software as installed on the machine: its files where the list says, real sizes.
    const ISoftInfoInc::_SoftInfo listed = Listed(kCiba);
    ISoftInfoInc::_SoftInfo soft = listed;
    soft.files.clear();
    soft.dependences.clear();
    unsigned seed = 10;
    for (IFileInfoInc::_FileInfo file : listed.files) {
        file.LocalPath = file.SetupPath;
        wi::test::PutFile(machine_, file.LocalPath, wi::test::FileBytes(150 * 1024 + seed, seed));
        ++seed;
        soft.files.insert(file);
    }
    for (IDepInfoInc::_DepInfo dependence : listed.dependences) {
        dependence.LocalPath = dependence.SetupPath;
        wi::test::PutFile(machine_, dependence.LocalPath, "shared library");
        soft.dependences.insert(dependence);
    }
    ASSERT_EQ(1, IWebInteractive::ProtectFilesToLocal(soft, nullptr));
    EXPECT_EQ(Host(Narrow("D:\\金山词霸\\ciba.exe")), Host(StoredCiba()));
    EXPECT_EQ(Host(Narrow("D:\\金山词霸\\data\\词库.dat")),
              Host(Narrow("D:\\qel_protect\\software\\{E2E-0001}\\2\\金山词霸\\data\\词库.dat")));
    EXPECT_EQ("shared library",
              Host("D:\\qel_protect\\software\\Dependence\\Windows\\System32\\ciba_core.dll"));

    const std::string protectXml = IWebInteractive::GetProtectXmlPath(kCiba);
    EXPECT_EQ("D:\\qel_protect\\software\\{E2E-0001}\\Protect.xml", protectXml);
    EXPECT_STREQ(Narrow("D:\\金山词霸").c_str(), IWebInteractive::GetProtectedInstallPath(kCiba));
    EXPECT_EQ(2, IWebInteractive::GetProtectedVersion(kCiba));
    EXPECT_STREQ(StoredCiba().c_str(),
                 IWebInteractive::GetFileProtectPath(protectXml.c_str(),
                                                     Narrow("D:\\金山词霸\\ciba.exe").c_str()));

    // One configuration entry changed in the registry, then the stored entries restored.
    const auto skin =
        std::find_if(soft.configs.begin(), soft.configs.end(),
                     [](const IConfInfoInc::_ConfInfo& c) { return c.Key == "Skin"; });
    ASSERT_NE(soft.configs.end(), skin);
    IConfInfoInc::_ConfInfo changed = *skin;
    // The Windows registry outlives a test machine: no value of an earlier test stays.
    wi::platform::DeleteRegistryValue(skin->Source, "Port");
    changed.Value = Narrow("红色");
    ASSERT_TRUE(ISoftRepairInc::InstallConf(changed));
    const std::string keyPath = Narrow("HKEY_CURRENT_USER\\Software\\Kingsoft\\金山词霸");
    const auto registry = [&keyPath] {
        std::set<std::string> values;
        for (const char* name : {"Skin", "Port"}) {
            std::string data;
            if (wi::test::ReadRegistryText(keyPath, name, data)) {
                values.insert(keyPath + "|" + name + "|" + data);
            }
        }
        return values;
    };
    const std::string key = keyPath + "|";
    EXPECT_EQ((std::set<std::string>{key + Narrow("Skin|红色")}), registry());
    LogInfo restore;
    restore.guid = kCiba;
    ASSERT_EQ(1, IWebInteractive::RestoreConfig(soft, restore));
    EXPECT_EQ((std::set<std::string>{key + "Port|8080", key + Narrow("Skin|蓝色")}), registry());
    EXPECT_EQ(2u, restore.details.size());
    restore.result = Narrow("恢复完成");
    log->SaveOneLog(restore);

    ASSERT_EQ(1, IWebInteractive::CleanProtectSoftware(kCiba));
    EXPECT_STREQ("", IWebInteractive::GetProtectXmlPath(kCiba));
    EXPECT_FALSE(std::ifstream(machine_.HostPath(StoredCiba())).good());

    // The run's log: the protection's entry and the restore's, in one document.
    ASSERT_EQ(1, log->StopLog());
    const auto logs = service_.Uploads("log");
    ASSERT_EQ(1u, logs.size());
    const std::string document = Utf8FromGb2312(logs.front());
    EXPECT_NE(std::string::npos, document.find("<Creator>测试员</Creator>")) << document;
    EXPECT_NE(std::string::npos, document.find("<Result>保护成功</Result>")) << document;
    EXPECT_NE(std::string::npos, document.find("<Result>恢复完成</Result>")) << document;
    EXPECT_NE(std::string::npos, document.find("<Detail>配置项Skin 恢复成功</Detail>")) << document;

    // No user document was named: the protection put it on the last drive and told the service.
    const auto users = service_.Uploads("user");
    ASSERT_FALSE(users.empty());
    EXPECT_NE(std::string::npos,
              users.back().find("<qeluser>D:\\qel_protect\\software\\qeluser.xml</qeluser>"));
    const wi::test::SettledLog requests = service_.Requests();
    EXPECT_EQ(1, requests.Count("GET /filelist?"));
    EXPECT_EQ(1, requests.Count("POST /upload/log 200"));
    // One exchange of the user-document path: the first time the protection asks for it.
    EXPECT_EQ(1, requests.Count("GET /userinfo?MachineNum=E2E%2d7 200"));
    EXPECT_EQ(1, requests.Count("POST /upload/user 200"));
    EXPECT_EQ(4, requests.Count(""));
}

TEST_F(LibraryFlowsTest, PatchAndInstallFilesArriveWhole) {
    std::string patchList;
    ASSERT_EQ(1, wi::lists::RequestText(service_.Url("/patchlist?guid=%7bE2E%2d0001%7d"),
                                          patchList, nullptr));
    const auto& softs = IWebInteractive::ParsePatchsList(patchList.c_str());
    ASSERT_EQ(1u, softs.size());
    ASSERT_EQ(1u, softs.front().patchs.size());
    const _PatchInfo& patch = softs.front().patchs.front();
    EXPECT_EQ(Narrow("词库更新"), patch.Descrip);
    EXPECT_TRUE(patch.Enforces);

    char path[300] = "";
    ASSERT_EQ(1, IWebInteractive::DownloadPatchFile(service_.Url("/patch").c_str(),
                                                    patch.PatchID.c_str(), path));
    EXPECT_EQ(wi::test::FileBytes(300 * 1024, 1), Host(path));

    void* cancel = IHostInc::CreateCancelEvent(true);
    ASSERT_EQ(1, IWebInteractive::DownloadInstallFile(service_.Url("/install").c_str(), "ciba",
                                                      "setup\\ciba_setup.exe", path, cancel));
    IHostInc::FreeCancelEvent(cancel);
    EXPECT_EQ(wi::test::FileBytes(2 * 1024 * 1024 + 17, 2), Host(path));
    // The name's folder is kept below the subdirectory.
    EXPECT_NE(std::string::npos, std::string(path).find("\\Templates\\ciba\\setup\\ciba_setup.exe"))
        << path;

    const wi::test::SettledLog requests = service_.Requests();
    EXPECT_EQ(1, requests.Count("GET /patch?patchid=KB%2d2001 200"));
    EXPECT_EQ(1, requests.Count("GET /files/patches/KB-2001 200 307200"));
    EXPECT_EQ(1, requests.Count("GET /install?filename=setup%5cciba%5fsetup%2eexe 200"));
    EXPECT_EQ(1, requests.Count("GET /files/setup/ciba_setup.exe 200 2097169"));
    EXPECT_EQ(5, requests.Count(""));
}

TEST_F(LibraryFlowsTest, SystemInformationAndTheUserDocumentPathOfThisMachine) {
    // A user document the host parameter names: Init asks the service nothing.
    wi::test::PutFile(machine_, "C:\\Users\\demo\\qeluser.xml", "<users/>");
    SetUserXmlParameter("C:\\Users\\demo\\qeluser.xml");
    InitWithService();

    EXPECT_EQ(1, IWebInteractive::UpdateSysInfo());
    const auto sysinfo = service_.Uploads("sysinfo");
    ASSERT_EQ(1u, sysinfo.size());
    EXPECT_NE(std::string::npos, sysinfo.front().find("<Drive>D:</Drive>")) << sysinfo.front();
    EXPECT_EQ(1, service_.Requests().Count("POST /upload/sysinfo?machinenum=E2E%2d7 200"));

    EXPECT_EQ(1, IWebInteractive::UpdateUserInfo());
    EXPECT_NE(std::string::npos, service_.Uploads("user").front().find(
                                     "<qeluser>C:\\Users\\demo\\qeluser.xml</qeluser>"));
    // Another path here; the service still gives the one it was told for this machine.
    TempMachine::WriteHostFile(machine_.HostPath("C:\\other.xml"), "<users/>");
    SetUserXmlParameter("C:\\other.xml");
    ASSERT_EQ("C:\\other.xml", wi::userinfo::GetUserXmlPath());
    EXPECT_STREQ("C:\\Users\\demo\\qeluser.xml", IWebInteractive::ReadUserInfo());
    const wi::test::SettledLog requests = service_.Requests();
    EXPECT_EQ(1, requests.Count("POST /upload/user 200"));
    EXPECT_EQ(1, requests.Count("GET /userinfo?MachineNum=E2E%2d7 200"));
    EXPECT_EQ(3, requests.Count(""));
}

}  // namespace
