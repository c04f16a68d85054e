// The host CLI against the reference service of this build: results alone on standard output,
// status lines and a line per transfer on standard error (nothing under --quiet), uploads that
// the service refuses fail, and the status lines speak the user's language.
#include <gtest/gtest.h>

#ifdef WI_SERVICE_PROGRAM

#include <filesystem>
#include <string>

#include "cli/posix/cli_shell.h"
#include "service_peer/service_peer.h"

namespace {

using wi::test::CliShell;
using wi::test::ShellRun;
using wi::test::TempMachine;

class ServiceCliTest : public testing::Test {
protected:
    // The CLI tests' documents lie beside their scripts.
    const std::string list_ =
        (std::filesystem::path(WI_TEST_FIXTURES).parent_path() / "store_fixture.xml").string();
    TempMachine machine_;
    CliShell cli_{machine_};
    // /files/ bodies at 64 KiB a second.
    wi::test::ServicePeer service_{{"--rate", "65536"}};
};

TEST_F(ServiceCliTest, ResultsGoToStandardOutputAndStatusToStandardError) {
    service_.AddFile("files/setup.exe", std::string(192 * 1024, 'x'));
    const std::string download =
        "download install --url " + service_.Url("/install") + " --subdir t --name setup.exe";
    const ShellRun shown = cli_.Run(download);
    EXPECT_EQ(0, shown.exit);
    EXPECT_EQ("downloaded to C:\\ProgramData\\Microsoft\\Windows\\Templates\\t\\setup.exe\n",
              shown.out);
    // In a pipe each transfer is one line at its end, named by the file, not the library's raw
    // progress lines.
    EXPECT_NE(std::string::npos, shown.err.find("\nlocating setup.exe: done\n")) << shown.err;
    EXPECT_NE(std::string::npos, shown.err.find("\nsetup.exe: done, 192.0 KiB\n")) << shown.err;
    EXPECT_EQ(std::string::npos, shown.err.find('|')) << shown.err;
    const ShellRun quiet = cli_.Run(download + " --quiet");
    EXPECT_EQ(shown.out, quiet.out);
    EXPECT_EQ("", quiet.err);

    // The upload's own diagnostic lines are status lines too, each ended; --quiet silences them.
    const std::string upload =
        "softlist upload --list " + list_ + " --url " + service_.Url("/upload/softlist");
    const ShellRun posted = cli_.Run(upload);
    EXPECT_EQ("UploadSoftList: 1\n", posted.out);
    EXPECT_NE(std::string::npos, posted.err.find("\nThe POST was successfully completed.\n"))
        << posted.err;
    const ShellRun silent = cli_.Run(upload + " --quiet");
    EXPECT_EQ("UploadSoftList: 1\n", silent.out);
    EXPECT_EQ("", silent.err);
    EXPECT_EQ(2, service_.Requests().Count("POST /upload/softlist 200"));
}

TEST_F(ServiceCliTest, JsonResultIsTheOnlyOutput) {
    EXPECT_EQ("{\"command\":\"filelist upload\",\"exit\":0,\"result\":{\"result\":1,"
              "\"http_status\":200}}\n",
              cli_.Run("filelist upload --json --list " + list_ + " --url " +
                       service_.Url("/upload/filelist"))
                  .out);

    // The records read back, every member and list; the status lines on standard error.
    const ShellRun records =
        cli_.Run("filelist download --url " + service_.Url("/filelist") + " --guid {S1} --json");
    EXPECT_EQ(0u, records.out.find("{\"command\":\"filelist download\",\"exit\":0,\"result\":{"
                                   "\"locked\":"))
        << records.out;
    EXPECT_NE(std::string::npos,
              records.out.find("\"records\":[{\"GUID\":\"{S1}\",\"Name\":\"Demo\""));
    EXPECT_NE(std::string::npos, records.out.find("\"SetupPath\":\"D:\\\\App\\\\a.exe\""));
    EXPECT_NE(std::string::npos, records.out.find("\"configs\":[{\"Source\":\"HKLM\""));
    EXPECT_EQ(records.out.find('\n'), records.out.size() - 1) << records.out;
    EXPECT_NE(std::string::npos, records.err.find("\nfile list of {S1}: done")) << records.err;
}

TEST_F(ServiceCliTest, UploadsTheServiceRefusesFailWithItsStatus) {
    const ShellRun missing = cli_.Run("softlist upload --json --list " + list_ + " --url " +
                                      service_.Url("/upload/none"));
    EXPECT_EQ(1, missing.exit);
    const std::string told = "the service answered 404 Not Found at " +
                             service_.Url("/upload/none") + ": check the address";
    EXPECT_EQ("{\"command\":\"softlist upload\",\"exit\":1,\"error\":\"" + told +
                  "\",\"result\":{\"result\":1,\"http_status\":404}}\n",
              missing.out);
    EXPECT_EQ("webinteractive: " + told + "\n",
              missing.err.substr(missing.err.rfind("webinteractive: ")));

    // A wrong password: 401 once the library's answer to the challenge is refused too.
    wi::test::ServicePeer guarded({"--user", "demo:right"});
    const std::string wrong = "http://demo:wrong@" + guarded.Url("/upload/filelist").substr(7);
    const ShellRun refused = cli_.Run("filelist upload --list " + list_ + " --url " + wrong);
    EXPECT_EQ(1, refused.exit);
    EXPECT_NE(std::string::npos, refused.err.find("the service answered 401 Unauthorized at "))
        << refused.err;
    const std::string right = "http://demo:right@" + guarded.Url("/upload/filelist").substr(7);
    EXPECT_EQ(0, cli_.Run("filelist upload --list " + list_ + " --url " + right).exit);
    EXPECT_EQ(1, guarded.Requests().Count("POST /upload/filelist 200"));
}

TEST_F(ServiceCliTest, StatusLinesSpeakTheUsersLanguage) {
    service_.AddFile("files/setup.exe", "small");
    const std::string download =
        "download install --url " + service_.Url("/install") + " --subdir t --name setup.exe";
    const std::string english = "Downloading setup.exe from " + service_.Url("/files/setup.exe");
    const std::string chinese = "开始下载文件 setup.exe 从 " + service_.Url("/files/setup.exe");
    // Whatever locale is installed: a Chinese one keeps the library's texts, any other gets the
    // catalog's English, the user's own language first should the catalog have it.
    for (const char* environment :
         {"-u LC_ALL -u LANGUAGE LANG=zh_CN.UTF-8", "-u LC_ALL LANG=en_US.UTF-8 LANGUAGE=zh_CN",
          "-u LC_ALL -u LANGUAGE LANG=de_DE.UTF-8", "LC_ALL=C LANGUAGE=zh_CN",
          "-u LC_ALL -u LANGUAGE -u LANG"}) {
        const bool inChinese = std::string(environment).find("=zh_CN") != std::string::npos &&
                               std::string(environment).find("LC_ALL=C ") == std::string::npos;
        const ShellRun run = cli_.Run(download, environment);
        EXPECT_EQ(0, run.exit);
        EXPECT_NE(std::string::npos, run.err.find(inChinese ? chinese : english))
            << environment << "\n" << run.err;
    }
}

}  // namespace

#endif  // WI_SERVICE_PROGRAM
