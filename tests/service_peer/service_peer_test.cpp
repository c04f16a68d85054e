// The library's own operations against webinteractive-service: what it keeps, what it answers
// and how many requests it receives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <list>
#include <set>
#include <string>
#include <vector>

#include "frame/config.h"
#include "platform/common/http_challenge.h"
#include "platform/common/http_digest.h"
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

    // Downloads an address into a file of the machine and gives its bytes ("" when it failed).
    std::string Fetch(const std::string& url) {
        const std::string path = "C:\\fetched.xml";
        TempMachine::WriteHostFile(machine_.HostPath(path), "");
        if (IWebInteractive::DownloadFile(url.c_str(), path.c_str(), nullptr, nullptr) != 1) return "";
        return TempMachine::ReadHostFile(machine_.HostPath(path));
    }
    static std::string Fixture(const std::string& name) { return WI_TEST_FIXTURES "/" + name; }
    static std::vector<std::string> PatchIds(const std::list<_PatchInfo>& patchs) {
        std::vector<std::string> ids;
        for (const auto& patch : patchs) ids.push_back(patch.PatchID);
        return ids;
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
    const wi::test::SettledLog requests = service.Requests();
    EXPECT_EQ(2, requests.Count("POST /upload/softlist 200 4"));
    EXPECT_EQ(1, requests.Count("GET /softlist 200"));
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
    EXPECT_EQ(1, service.Requests().Count("GET /filelist?guid=%7bTWO%7d&special_code=&"
                                          "pnversion= 200"));

    // A list placed in the data directory is answered before any upload.
    service.AddFile("filelists/{ONE}.xml",
                    "<softwares><software><BaseInfo><Name>placed</Name></BaseInfo><Version>"
                    "<VersionInfo><GUID>{ONE}</GUID><Version>9</Version></VersionInfo>"
                    "</Version></software></softwares>");
    const auto& one = IWebInteractive::DownloadFileList(list.c_str(), "{ONE}", "", "", locked, nullptr);
    ASSERT_EQ(1u, one.size());
    EXPECT_EQ("9", one.front().Version);

    EXPECT_TRUE(IWebInteractive::DownloadFileList(list.c_str(), "{NONE}", "", "", locked, nullptr).empty());
    EXPECT_EQ(1, service.Requests().Count("GET /filelist?guid=%7bNONE%7d&special_code=&"
                                          "pnversion= 404"));
}

TEST_F(ServicePeerTest, InstallFilesAndSizesAreLocatedOnTheService) {
    ServicePeer service;
    service.AddFile("files/tools/setup one.exe", "the install file");

    char path[300] = "left over";
    ASSERT_EQ(1, IWebInteractive::DownloadInstallFile(service.Url("/install").c_str(), "sub",
                                                      "tools\\setup one.exe", path, nullptr));
    EXPECT_EQ("the install file", TempMachine::ReadHostFile(machine_.HostPath(path)));
    const wi::test::SettledLog requests = service.Requests();
    EXPECT_EQ(1, requests.Count("GET /install?filename=tools%5csetup%20one%2eexe 200"));
    EXPECT_EQ(1, requests.Count("GET /files/tools/setup%20one.exe 200 16"));

    EXPECT_EQ(16, IWebInteractive::GetDownloadSize(service.Url("/size").c_str(),
                                                   "tools/setup one.exe"));
    EXPECT_EQ(1, service.Requests().Count("HEAD /files/tools/setup%20one.exe 200"));
    EXPECT_EQ(-1, IWebInteractive::GetDownloadSize(service.Url("/size").c_str(), "missing.exe"));
    // A host in code page 936 names the file in GBK ("金山.exe"); the service keeps UTF-8 names.
    service.AddFile("files/金山.exe", "gbk");
    EXPECT_EQ(3, IWebInteractive::GetDownloadSize(service.Url("/size").c_str(),
                                                  "\xBD\xF0\xC9\xBD.exe"));
    EXPECT_EQ(1, service.Requests().Count("GET /size?filename=missing%2eexe 404"));
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
    EXPECT_EQ(1, service.Requests().Count("GET /userinfo?MachineNum=AB%2d12 200"));

    config.machineNum = "OTHER";  // nothing uploaded for it: the path stays
    wi::frame::SetConfig(config);
    EXPECT_STREQ("C:\\mine.xml", IWebInteractive::ReadUserInfo());
    EXPECT_EQ(1, service.Requests().Count("GET /userinfo?MachineNum=OTHER 200"));
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

TEST_F(ServicePeerTest, BodiesTooLargeOrCutShortAreNotKeptAndTheServiceGoesOn) {
    ServicePeer service({"--max-body", "100"});
    TempMachine::WriteHostFile(machine_.HostPath("C:\\big.bin"), std::string(101, 'x'));
    TempMachine::WriteHostFile(machine_.HostPath("C:\\small.bin"), std::string(100, 'x'));
    const std::string url = service.Url("/upload/softfile");
    char reply[1024] = "";
    EXPECT_EQ(1, IWebInteractive::UploadFile(url.c_str(), "C:\\big.bin", reply, nullptr, nullptr));
    EXPECT_STRNE("TRUE", reply);
    EXPECT_EQ(1, IWebInteractive::UploadFile(url.c_str(), "C:\\small.bin", reply, nullptr, nullptr));
    EXPECT_STREQ("TRUE", reply);
    EXPECT_EQ(1, service.Requests().Count("POST /upload/softfile 413"));

    // A client that announces 90 bytes, sends 5 and goes away leaves no file behind.
    wi::test::RunShell("curl -s -m 1 -H 'Content-Length: 90' --data-binary short '" + url +
                       "'; true");
    EXPECT_EQ(1, service.Requests().Count("POST /upload/softfile 400"));
    std::vector<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(service.Data() + "/uploads/softfile")) {
        names.push_back(entry.path().extension().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{".body", ".target"}), names);
    EXPECT_EQ((std::vector<std::string>{std::string(100, 'x')}), service.Uploads("softfile"));
}

TEST_F(ServicePeerTest, PatchListsAreMadeFromTheVersionsOfAGuidOrServedAsPlaced) {
    ServicePeer service;
    service.CopyIn("filelists/{C}.xml", Fixture("certain_filelist.xml"));
    ASSERT_STREQ("TRUE", IWebInteractive::UploadFileInfo(service.Url("/upload/installinfo").c_str(),
                                                         Soft("{C}", "3.0")));

    // Every version of the GUID once, with the patches its document gives it.
    const auto& made =
        IWebInteractive::ParsePatchsList(Fetch(service.Url("/patchlist?guid={C}")).c_str());
    std::vector<std::string> versions;
    for (const auto& soft : made) {
        EXPECT_EQ("{C}", soft.GUID);
        versions.push_back(soft.Version + ":" + std::to_string(soft.patchs.size()));
    }
    EXPECT_EQ((std::vector<std::string>{"1.10:1", "2.0:0", "1.9:0", "3.0:0"}), versions);
    EXPECT_EQ((std::vector<std::string>{"P110"}), PatchIds(made.front().patchs));

    // A patch list the operator placed is the answer as it stands.
    service.CopyIn("patchlists/{C}.xml", Fixture("certain_patchlist.xml"));
    const std::string placedText = Fetch(service.Url("/patchlist?guid={C}"));
    const auto& placed = IWebInteractive::ParsePatchsList(placedText.c_str());
    ASSERT_EQ(1u, placed.size());
    ASSERT_EQ((std::vector<std::string>{"P200"}), PatchIds(placed.front().patchs));
    EXPECT_EQ("P110", placed.front().patchs.front().dependences.front().PatchID);

    EXPECT_EQ("", Fetch(service.Url("/patchlist?guid={NONE}")));
    const wi::test::SettledLog requests = service.Requests();
    EXPECT_EQ(1, requests.Count("GET /patchlist?guid={NONE} 404"));
    EXPECT_EQ(2, requests.Count("GET /patchlist?guid={C} 200"));
}

TEST_F(ServicePeerTest, CertainAnswersTheVersionAskedForOrTheNewestWithItsPatches) {
    ServicePeer service;
    service.CopyIn("filelists/{C}.xml", Fixture("certain_filelist.xml"));
    service.CopyIn("patchlists/{C}.xml", Fixture("certain_patchlist.xml"));
    const std::string url = service.Url("/certain");

    // -1 asks for the newest: "2.0" is newer than "1.10", which is newer than "1.9". It has no
    // patches of its own, so those of the patch list come with it.
    const auto& latest = IWebInteractive::DownloadCertainFileList(url.c_str(), "{C}", -1);
    EXPECT_EQ("2.0", latest.Version);
    EXPECT_EQ(1u, latest.files.size());
    EXPECT_EQ((std::vector<std::string>{"P200"}), PatchIds(latest.patchs));

    const auto& asked = IWebInteractive::DownloadCertainFileList(url.c_str(), "{C}", 110);
    EXPECT_EQ("1.10", asked.Version);
    EXPECT_EQ((std::vector<std::string>{"P110"}), PatchIds(asked.patchs));

    // A version nobody has: 404, and the record stays as it was.
    EXPECT_EQ("1.10", IWebInteractive::DownloadCertainFileList(url.c_str(), "{C}", 7).Version);
    const wi::test::SettledLog requests = service.Requests();
    EXPECT_EQ(1, requests.Count("GET /certain?guid=%7bC%7d&version=-1 200"));
    EXPECT_EQ(1, requests.Count("GET /certain?guid=%7bC%7d&version=7 404"));
}

TEST_F(ServicePeerTest, APacedFileArrivesWholeWithProgressOnTheWay) {
    ServicePeer service({"--rate", "100000"});
    std::string content(250000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 % 251);
    service.AddFile("files/patches/big.bin", content);

    std::vector<std::string> lines;
    IHelperInc::SetStatusSink(
        [](const char* line, void* sink) {
            static_cast<std::vector<std::string>*>(sink)->push_back(line);
        },
        &lines);
    const std::string path = "C:\\big.bin";
    ASSERT_EQ(1, IWebInteractive::DownloadFile(service.Url("/files/patches/big.bin").c_str(),
                                               path.c_str(), nullptr, nullptr));
    IHelperInc::SetStatusSink(nullptr, nullptr);
    EXPECT_EQ(content, TempMachine::ReadHostFile(machine_.HostPath(path)));
    // At least one progress line (" name|speed|got|total") came while the file was under way.
    bool partial = false;
    for (const std::string& line : lines) {
        const auto got = line.rfind('|', line.rfind('|') - 1);
        partial |= line.rfind(" big.bin|", 0) == 0 && line.substr(got + 1) != "250000|250000";
    }
    EXPECT_TRUE(partial);

    EXPECT_EQ(content.substr(1000, 10),
              wi::test::RunShell("curl -s -r 1000-1009 '" + service.Url("/files/patches/big.bin") +
                                 "'"));
    EXPECT_EQ(1, service.Requests().Count("GET /files/patches/big.bin 206 10"));
}

// An upload address with credentials in it, as the library takes them.
std::string UploadAddress(const ServicePeer& service, const std::string& credentials) {
    return "http://" + credentials + "@127.0.0.1:" + std::to_string(service.port()) + "/upload/log";
}

// Posts "<log/>" to /upload/log with curl and this Authorization value; gives the status code.
std::string PostWithAuthorization(const ServicePeer& service, const std::string& authorization) {
    return wi::test::RunShell("curl -s -o /dev/null -w '%{http_code}' --data-binary '<log/>' -H '" +
                              authorization + "' '" + service.Url("/upload/log") + "'");
}

TEST_F(ServicePeerTest, DigestUploadsNeedTheUsersPasswordAndAFreshNonce) {
    ServicePeer service({"--user", "alice:s3cret"});
    TempMachine::WriteHostFile(machine_.HostPath("C:\\log.xml"), "<log/>");
    char reply[1024] = "";
    EXPECT_EQ(1, IWebInteractive::UploadFile(UploadAddress(service, "alice:s3cret").c_str(),
                                             "C:\\log.xml", reply, nullptr, nullptr));
    EXPECT_STREQ("TRUE", reply);
    const wi::test::SettledLog requests = service.Requests();
    EXPECT_EQ(1, requests.Count("POST /upload/log 401"));
    EXPECT_EQ(1, requests.Count("POST /upload/log 200"));

    // A wrong password is answered once more and then given up: two more 401, nothing kept.
    EXPECT_EQ(1, IWebInteractive::UploadFile(UploadAddress(service, "alice:wrong").c_str(),
                                             "C:\\log.xml", reply, nullptr, nullptr));
    EXPECT_STREQ("authentication required\n", reply);
    EXPECT_EQ(3, service.Requests().Count("POST /upload/log 401"));
    EXPECT_EQ(1u, service.Uploads("log").size());

    // A right answer counts once per nonce count, and only for a nonce the service gave out.
    const std::string headers = wi::test::RunShell(
        "curl -s -D - -o /dev/null --data-binary '<log/>' '" + service.Url("/upload/log") + "'");
    const auto start = headers.find("WWW-Authenticate: ");
    ASSERT_NE(std::string::npos, start);
    const std::string value = headers.substr(start + 18, headers.find('\r', start) - start - 18);
    std::vector<wi::platform::AuthChallenge> challenges;
    ASSERT_TRUE(wi::platform::ParseChallenges(value, challenges));
    const wi::platform::DigestRequest request{"POST", "/upload/log", "alice", "s3cret", 1,
                                                     "c1"};
    const std::string answer =
        "Authorization: " + wi::platform::DigestAuthorization(challenges.front(), request);
    EXPECT_EQ("200", PostWithAuthorization(service, answer));
    EXPECT_EQ("401", PostWithAuthorization(service, answer));  // the same count again
    // A correct answer to a nonce the service never gave.
    auto forged = challenges.front();
    for (auto& param : forged.params) {
        if (param.first == "nonce") param.second = "0123456789abcdef0123456789abcdef";
    }
    EXPECT_EQ("401", PostWithAuthorization(
                         service, "Authorization: " + wi::platform::DigestAuthorization(
                                                          forged, request)));
    EXPECT_EQ(2u, service.Uploads("log").size());
}

TEST_F(ServicePeerTest, BasicUploadsAreLeftUnansweredByTheLibraryOverPlainHttp) {
    ServicePeer service({"--user", "alice:s3cret", "--auth", "basic"});
    TempMachine::WriteHostFile(machine_.HostPath("C:\\log.xml"), "<log/>");
    char reply[1024] = "";
    // The library sends Basic credentials only over TLS: the 401 is its final answer.
    EXPECT_EQ(1, IWebInteractive::UploadFile(UploadAddress(service, "alice:s3cret").c_str(),
                                             "C:\\log.xml", reply, nullptr, nullptr));
    EXPECT_STREQ("authentication required\n", reply);
    EXPECT_EQ(1, service.Requests().Count("POST /upload/log 401"));

    const std::string post = "curl -s -o /dev/null -w '%{http_code}' --basic --data-binary '<log/>' '" +
                             service.Url("/upload/log") + "' -u ";
    EXPECT_EQ("200", wi::test::RunShell(post + "alice:s3cret"));
    EXPECT_EQ("401", wi::test::RunShell(post + "alice:wrong"));
    EXPECT_EQ((std::vector<std::string>{"<log/>"}), service.Uploads("log"));
    EXPECT_EQ(3, service.Requests().Count("POST /upload/log"));
}

}  // namespace
