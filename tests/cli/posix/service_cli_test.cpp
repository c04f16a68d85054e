// The host CLI against the reference service of this build: --json keeps standard output to the
// result document whatever the library writes, a paced transfer is one progress bar on a
// terminal and nothing under --quiet, and Ctrl-C ends it cleanly.
#include <gtest/gtest.h>

#ifdef WI_SERVICE_PROGRAM

#include <filesystem>
#include <string>

#include "service_peer/service_peer.h"
#include "support/temp_machine.h"

namespace {

using wi::test::RunShell;
using wi::test::TempMachine;

class ServiceCliTest : public testing::Test {
protected:
    // The command line of the CLI on the test's machine.
    std::string Cli(const std::string& arguments) const {
        return std::string(WI_CLI) + " " + arguments + " --prefix '" + machine_.Prefix() + "'";
    }
    // Runs it with standard output and standard error kept apart: the output, then "exit=N".
    std::string Run(const std::string& arguments) const {
        return RunShell(Cli(arguments) + " 2>'" + Errors() + "'; echo \"exit=$?\"");
    }
    std::string Errors() const { return machine_.Root() + "/stderr.txt"; }

    TempMachine machine_;
    // /files/ bodies at 64 KiB a second.
    wi::test::ServicePeer service_{{"--rate", "65536"}};
};

TEST_F(ServiceCliTest, JsonResultIsTheOnlyOutput) {
    // The CLI tests' documents lie beside their scripts.
    const std::string list =
        (std::filesystem::path(WI_TEST_FIXTURES).parent_path() / "store_fixture.xml").string();
    EXPECT_EQ("{\"command\":\"filelist upload\",\"exit\":0,\"result\":{\"result\":1}}\nexit=0\n",
              Run("filelist upload --json --list " + list + " --url " +
                  service_.Url("/upload/filelist")));

    // The records read back, every member and list; the status lines on standard error.
    const std::string records =
        Run("filelist download --url " + service_.Url("/filelist") + " --guid {S1} --json");
    EXPECT_EQ(0u, records.find("{\"command\":\"filelist download\",\"exit\":0,\"result\":{"
                               "\"locked\":"))
        << records;
    EXPECT_NE(std::string::npos, records.find("\"records\":[{\"GUID\":\"{S1}\",\"Name\":\"Demo\""))
        << records;
    EXPECT_NE(std::string::npos, records.find("\"SetupPath\":\"D:\\\\App\\\\a.exe\""))
        << records;
    EXPECT_NE(std::string::npos, records.find("\"configs\":[{\"Source\":\"HKLM\""));
    EXPECT_EQ(records.find('\n'), records.size() - 8) << "one line, then exit=0:\n" << records;
    EXPECT_NE(std::string::npos, TempMachine::ReadHostFile(Errors()).find("|1\n"));

    // An address the service does not know: the upload's own diagnostic line goes to standard
    // error too, and standard output holds the document alone.
    const std::string refused =
        Run("filelist upload --json --list " + list + " --url " + service_.Url("/upload/none"));
    EXPECT_EQ(0u, refused.find("{\"command\":\"filelist upload\",")) << refused;
    EXPECT_EQ(refused.find('\n'), refused.size() - 8) << refused;
    const std::string errors = TempMachine::ReadHostFile(Errors());
    EXPECT_NE(std::string::npos, errors.find("Status code 404 returned.")) << errors;
}

TEST_F(ServiceCliTest, ProgressIsOneBarOnATerminalAndNothingWhenQuiet) {
    // Three seconds at the service's pace: three progress lines.
    service_.AddFile("files/setup.exe", std::string(192 * 1024, 'x'));
    const std::string download =
        "download install --url " + service_.Url("/install") + " --subdir t --name setup.exe";
    // script(1) gives the CLI a terminal.
    const std::string drawn = RunShell("script -qec \"" + Cli(download) + "\" /dev/null");
    EXPECT_NE(std::string::npos, drawn.find("\rsetup.exe [")) << drawn;
    EXPECT_NE(std::string::npos, drawn.find("KiB/s")) << drawn;
    EXPECT_NE(std::string::npos, drawn.find(" left\x1b[K\rsetup.exe [")) << drawn;
    EXPECT_NE(std::string::npos, drawn.find("]  100%  192.0 KiB  done\x1b[K\r\n")) << drawn;
    EXPECT_EQ(std::string::npos, drawn.find(" setup.exe|")) << drawn;
    EXPECT_EQ(std::string::npos, drawn.find("setup.exe|1")) << drawn;

    EXPECT_EQ("downloaded to C:\\ProgramData\\Microsoft\\Windows\\Templates\\t\\setup.exe\n"
              "exit=0\n",
              Run(download + " --quiet"));
    EXPECT_EQ("", TempMachine::ReadHostFile(Errors()));
}

TEST_F(ServiceCliTest, CtrlCEndsAPacedDownloadCleanly) {
    // 64 s at the service's pace: only the cancel ends it early.
    service_.AddFile("files/big.exe", std::string(4 << 20, 'x'));
    const std::string out = machine_.Root() + "/stdout.txt";
    // SIGINT once the first progress line is out. The shell starts its background job with
    // SIGINT ignored, which the CLI keeps: env gives it the default back, as a terminal's
    // foreground job has it.
    const std::string result = RunShell(
        "env --default-signal=INT " + Cli("download install --url " + service_.Url("/install") + " --subdir t --name big.exe") +
        " >'" + out + "' 2>'" + Errors() + "' & pid=$!; for i in $(seq 200); do grep -q '^ big.exe|' '" +
        out + "' && break; sleep 0.1; done; kill -INT $pid; wait $pid; echo \"exit=$?\"");
    EXPECT_EQ("exit=1\n", result);
    EXPECT_EQ("webinteractive: cancelled: download install was stopped by Ctrl-C; run it again "
              "to start over\n",
              TempMachine::ReadHostFile(Errors()));
    EXPECT_NE(std::string::npos, TempMachine::ReadHostFile(out).find("\nbig.exe|0\n"));
    EXPECT_FALSE(std::filesystem::exists(
        machine_.HostPath("C:\\ProgramData\\Microsoft\\Windows\\Templates\\t\\big.exe")));
    EXPECT_EQ(1, service_.Requests().Count("GET /install?filename=big%2eexe 200"));
}

}  // namespace

#endif  // WI_SERVICE_PROGRAM
