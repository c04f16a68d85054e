// Starting the command interpreter of the emulated machine.
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/machine.h"
#include "platform/process.h"
#include "support/host.h"
#include "support/temp_machine.h"

namespace fs = std::filesystem;

namespace wi::platform {
namespace {

std::string CommandInterpreter() {
    std::string system;
    EXPECT_TRUE(CurrentMachine().GetSpecialFolder(kSystemFolder, system));
    return system + "\\cmd.exe";
}

TEST(Process, RunsCmdWithTheWholeTextAsItsCommandLine) {
    test::TempMachine machine;
    ASSERT_TRUE(RunHiddenAndWait(CommandInterpreter(), "/c mkdir \"D:\\with space\\and more\""));
    EXPECT_TRUE(fs::is_directory(machine.HostPath("D:\\with space\\and more")));
    ASSERT_TRUE(RunHiddenAndWait(CommandInterpreter(), "/c rmdir /s /q \"D:\\with space\""));
    EXPECT_FALSE(fs::exists(machine.HostPath("D:\\with space")));
}

TEST(Process, AttribGivesANamedDirectoryItsAttributes) {
    if (test::host::UnderWine()) {
        GTEST_SKIP() << "Wine's attrib applies only its last switch, and Wine keeps no read-only "
                        "attribute on directories";
    }
    test::TempMachine machine;
    ASSERT_TRUE(CreateDirectory("D:\\with space"));
    ASSERT_TRUE(RunHiddenAndWait(CommandInterpreter(), "/c attrib +h +s +r \"D:\\with space\""));
    std::uint32_t attributes = 0;
    ASSERT_TRUE(GetFileAttributes("D:\\with space", attributes));
    EXPECT_EQ(attributes, kAttrDirectory | kAttrReadOnly | kAttrHidden | kAttrSystem);
    // The store is removed in this state.
    ASSERT_TRUE(RunHiddenAndWait(CommandInterpreter(), "/c rmdir /s /q \"D:\\with space\""));
    EXPECT_FALSE(fs::exists(machine.HostPath("D:\\with space")));
}

TEST(Process, AProgramThatCannotStartGivesFalse) {
    test::TempMachine machine;
    EXPECT_FALSE(RunHiddenAndWait("C:\\windows\\missing.exe", "/c md \"C:\\x\""));
    EXPECT_FALSE(RunHiddenAndWait("\\\\server\\share\\cmd.exe", "/c md \"C:\\x\""));
    EXPECT_FALSE(fs::exists(machine.HostPath("C:\\x")));
}

}  // namespace
}  // namespace wi::platform
