// Ctrl-C during the host CLI's transfers: a first one cancels an operation that takes a cancel
// event cleanly; one during an operation without it, or a second one, stops the program at once
// with the status SIGINT gives. Neither way leaves a partial file, and a later run removes the
// partial files of processes that are gone.
#include <gtest/gtest.h>

#ifdef WI_SERVICE_PROGRAM

#include <filesystem>
#include <string>

#include "cli/posix/cli_shell.h"
#include "service_peer/service_peer.h"

namespace {

using wi::test::ShellRun;
using wi::test::TempMachine;

class InterruptCliTest : public testing::Test {
protected:
    InterruptCliTest() {
        // 64 s at the service's pace: only Ctrl-C ends a download of it early.
        service_.AddFile("files/big.exe", std::string(4 << 20, 'x'));
        service_.AddFile("files/patches/PW-SP1.exe", std::string(4 << 20, 'x'));
    }
    std::string Templates(const std::string& below = "") const {
        return machine_.HostPath("C:\\ProgramData\\Microsoft\\Windows\\Templates" + below);
    }
    // The names in a folder of the host; "" when there are none.
    static std::string Names(const std::string& folder) {
        return wi::test::RunShell("LC_ALL=C ls -A '" + folder + "' 2>/dev/null | tr '\\n' ' '");
    }
    // The error line the run ended with.
    static std::string LastLine(const ShellRun& run) {
        const std::string::size_type last = run.err.rfind("webinteractive: ");
        return last == std::string::npos ? run.err : run.err.substr(last);
    }

    TempMachine machine_;
    wi::test::CliShell cli_{machine_};
    wi::test::ServicePeer service_{{"--rate", "65536"}};
    const std::string install_ =
        "download install --url " + service_.Url("/install") + " --subdir t --name big.exe";
};

TEST_F(InterruptCliTest, AFirstCtrlCCancelsADownloadCleanly) {
    const ShellRun run = cli_.Interrupt(install_, "'" + Templates("/t") + "'/.~wi*", "INT");
    EXPECT_EQ(1, run.exit) << run.err;
    EXPECT_EQ("webinteractive: cancelled: download install was stopped by Ctrl-C; run it again "
              "to start over\n",
              LastLine(run));
    EXPECT_NE(std::string::npos, run.err.find("\nbig.exe: failed after ")) << run.err;
    EXPECT_EQ("", run.out);
    EXPECT_EQ("", Names(Templates("/t")));
    EXPECT_EQ(1, service_.Requests().Count("GET /install?filename=big%2eexe 200"));
}

TEST_F(InterruptCliTest, CtrlCStopsAtOnceWithoutLeavingPartialFiles) {
    // A patch download takes no cancel event: the first Ctrl-C stops the program.
    const std::string patch =
        "patch download --url " + service_.Url("/patch") + " --id PW-SP1.exe --json";
    const ShellRun stopped = cli_.Interrupt(patch, "'" + Templates() + "'/.~wi*", "INT");
    EXPECT_EQ(130, stopped.exit) << stopped.err;
    EXPECT_EQ("webinteractive: interrupted: patch download was stopped by Ctrl-C and what it had "
              "half-written removed; run it again to start over\n",
              LastLine(stopped));
    EXPECT_EQ(0u, stopped.out.find("{\"command\":\"patch download\",\"exit\":130,")) << stopped.out;
    EXPECT_EQ("", Names(Templates()));

    // A second Ctrl-C while a cancelled download ends.
    const ShellRun twice = cli_.Interrupt(install_, "'" + Templates("/t") + "'/.~wi*", "INT INT");
    EXPECT_EQ(130, twice.exit) << twice.err;
    EXPECT_EQ("", Names(Templates("/t")));
}

TEST_F(InterruptCliTest, ALaterRunRemovesThePartialFilesOfProcessesThatAreGone) {
    service_.AddFile("files/small.exe", "small");
    // One left by a process that has ended, one of a process that runs (this test's).
    const std::string gone = wi::test::RunShell("sh -c 'echo $$' | tr -d '\\n'");
    const std::string running = wi::test::RunShell("echo $PPID | tr -d '\\n'");
    std::filesystem::create_directories(Templates("/t"));
    TempMachine::WriteHostFile(Templates("/t/.~wi" + gone + "-2"), "partial");
    TempMachine::WriteHostFile(Templates("/t/.~wi" + running + "-2"), "being written");
    EXPECT_EQ(0, cli_.Run("download install --url " + service_.Url("/install") +
                          " --subdir t --name small.exe")
                     .exit);
    EXPECT_EQ(".~wi" + running + "-2 small.exe ", Names(Templates("/t")));
}

}  // namespace

#endif  // WI_SERVICE_PROGRAM
