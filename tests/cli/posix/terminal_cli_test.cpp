// The host CLI's progress on a terminal (a pty made by script(1)): one bar redrawn in place,
// named by the file rather than the library's temporary names, never wider than the terminal,
// and drawn again to the new width when the terminal is resized.
#include <gtest/gtest.h>

#ifdef WI_SERVICE_PROGRAM

#include <string>
#include <vector>

#include "cli/posix/cli_shell.h"
#include "progress_line.h"
#include "service_peer/service_peer.h"

namespace {

using wi::test::TempMachine;

class TerminalCliTest : public testing::Test {
protected:
    // Runs the shell commands on a terminal of `columns` columns; what the terminal received.
    std::string OnTerminal(int columns, const std::string& commands) const {
        const std::string script = machine_.Root() + "/terminal.sh";
        TempMachine::WriteHostFile(script, "stty cols " + std::to_string(columns) +
                                               "\nexport LC_ALL=C.UTF-8\n" + commands + "\n");
        return wi::test::RunShell("script -qec 'sh " + script + "' /dev/null");
    }

    // The drawings of bars: what lies between a carriage return and the clearing of the rest of
    // the line that ends it.
    static std::vector<std::string> Drawings(const std::string& output) {
        std::vector<std::string> drawings;
        for (std::string::size_type start = output.find('\r'); start != std::string::npos;
             start = output.find('\r', start + 1)) {
            const std::string::size_type end = output.find("\x1b[K", start);
            if (end != std::string::npos && output.find('\n', start) > end) {
                drawings.push_back(output.substr(start + 1, end - start - 1));
            }
        }
        return drawings;
    }

    TempMachine machine_;
    wi::test::CliShell cli_{machine_};
    // /files/ bodies at 64 KiB a second.
    wi::test::ServicePeer service_{{"--rate", "65536"}};
};

TEST_F(TerminalCliTest, BarIsRedrawnInPlaceAndNamedByTheFile) {
    // Three seconds at the service's pace: three progress lines.
    service_.AddFile("files/patches/PW-SP1.exe", std::string(192 * 1024, 'x'));
    const std::string drawn = OnTerminal(
        100, cli_.Command("patch download --url " + service_.Url("/patch") + " --id PW-SP1.exe"));
    EXPECT_NE(std::string::npos, drawn.find(" left\x1b[K\rPW-SP1.exe [")) << drawn;
    EXPECT_NE(std::string::npos, drawn.find("KiB/s")) << drawn;
    EXPECT_NE(std::string::npos, drawn.find("]  100%  192.0 KiB  done\x1b[K\r\n")) << drawn;
    EXPECT_NE(std::string::npos, drawn.find("\rlocating PW-SP1.exe [")) << drawn;
    EXPECT_EQ(std::string::npos, drawn.find("\rDownFile")) << drawn;
    EXPECT_EQ(std::string::npos, drawn.find("\rRequestTemp")) << drawn;
    EXPECT_EQ(std::string::npos, drawn.find('|')) << drawn;
}

TEST_F(TerminalCliTest, BarFitsANarrowTerminalAndFollowsItsResize) {
    // Six seconds at the service's pace; after two the terminal grows from 30 to 90 columns.
    service_.AddFile("files/setup.exe", std::string(384 * 1024, 'x'));
    const std::string drawn = OnTerminal(
        30, "(sleep 2; stty cols 90 </dev/tty) &\n" +
                cli_.Command("download install --url " + service_.Url("/install") +
                             " --subdir t --name setup.exe"));
    const std::vector<std::string> drawings = Drawings(drawn);
    ASSERT_FALSE(drawings.empty()) << drawn;
    std::size_t wide = 0;
    while (wide < drawings.size() && cli::DisplayWidth(drawings[wide]) < 30) ++wide;
    ASSERT_GT(wide, 0u) << drawn;
    ASSERT_LT(wide, drawings.size()) << "no drawing followed the resize:\n" << drawn;
    // The first drawing at the new width has room for the bar and the speed again.
    EXPECT_NE(std::string::npos, drawings[wide].find("setup.exe [")) << drawings[wide];
    EXPECT_NE(std::string::npos, drawings[wide].find(" KiB/s")) << drawings[wide];
    for (const std::string& drawing : drawings) EXPECT_LT(cli::DisplayWidth(drawing), 90);
}

}  // namespace

#endif  // WI_SERVICE_PROGRAM
