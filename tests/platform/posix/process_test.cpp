// The command interpreter started on the emulated machine that a call installed.
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/process.h"
#include "support/temp_machine.h"

namespace fs = std::filesystem;

namespace wi::platform {
namespace {

TEST(Process, TheChildUsesThePrefixSetByCall) {
    test::TempMachine first;
    {
        test::TempMachine second;  // installed by a call, not by the environment
        ASSERT_TRUE(RunHiddenAndWait("C:\\windows\\system32\\cmd.exe", "/c md \"C:\\here\""));
        EXPECT_TRUE(fs::is_directory(second.HostPath("C:\\here")));
    }
    EXPECT_FALSE(fs::exists(first.Prefix() + "/drive_c/here"));
}

}  // namespace
}  // namespace wi::platform
