// MakesureDirExist on the emulated machine, whose cmd.exe here notes each command line before it
// runs the command: a mkdir for each missing folder of the path and for nothing else.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_machine.h"
#include "webinteractive/frame.h"

namespace {

using wi::test::TempMachine;

class MkdirCommands : public testing::Test {
protected:
    MkdirCommands() {
        // A file that is no link is the user's: the machine leaves it in place.
        const std::string cmd = machine_.HostPath("C:\\windows\\system32\\cmd.exe");
        std::filesystem::remove(cmd);
        TempMachine::WriteHostFile(cmd, "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" + log_ +
                                            "'\nexec '" WI_TEST_CMD "' \"$@\"\n");
        chmod(cmd.c_str(), 0755);
    }
    // The command lines run since the last call.
    std::vector<std::string> Commands() {
        std::istringstream text(TempMachine::ReadHostFile(log_));
        std::filesystem::remove(log_);
        std::vector<std::string> lines;
        for (std::string line; std::getline(text, line);) lines.push_back(line);
        return lines;
    }

    TempMachine machine_;
    const std::string log_ = machine_.Root() + "/commands.log";
};

TEST_F(MkdirCommands, OneMkdirPerMissingFolderAndNoneForTheDriveRoot) {
    std::string path = "D:\\a\\b";
    IWebInteractive::MakesureDirExist(path);
    EXPECT_EQ(Commands(),
              (std::vector<std::string>{"/c mkdir \"D:\\a\\\"", "/c mkdir \"D:\\a\\b\\\""}));

    IWebInteractive::MakesureDirExist(path);  // exists: nothing runs
    std::string sibling = "D:\\a\\c\\";
    IWebInteractive::MakesureDirExist(sibling);
    EXPECT_EQ(Commands(), (std::vector<std::string>{"/c mkdir \"D:\\a\\c\\\""}));
}

TEST_F(MkdirCommands, NetworkAndEmptyPathsRunNothing) {
    std::string network = "\\\\server\\share\\dir";
    IWebInteractive::MakesureDirExist(network);
    std::string empty;
    IWebInteractive::MakesureDirExist(empty);
    EXPECT_EQ(Commands(), std::vector<std::string>{});
}

}  // namespace
