// The command interpreter started on the emulated machine that a call installed, reading its
// command in the calling thread's code page.
#include <filesystem>
#include <gtest/gtest.h>
#include <locale.h>
#include <thread>

#include "platform/process.h"
#include "support/gbk_locale.h"
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

// A thread in GBK while the process and its environment say UTF-8: 81 5C is one character
// there, so the child makes one folder, not "a\<81>\b".
TEST(Process, TheChildReadsTheCommandInTheCallingThreadsCodePage) {
    test::GbkLocale gbk(test::GbkLocale::kInCodeOnly);
    if (!gbk.Active()) GTEST_SKIP() << gbk.Reason();
    test::TempMachine machine;
    const std::string name = "\x81\x5c" "b";
    bool ran = false;
    std::thread host([&] {
        locale_t locale = newlocale(LC_ALL_MASK, "zh_CN.GBK", nullptr);
        if (!locale) return;
        locale_t previous = uselocale(locale);
        ran = RunHiddenAndWait("C:\\windows\\system32\\cmd.exe", "/c md \"C:\\a\\" + name + "\"");
        uselocale(previous);
        freelocale(locale);
    });
    host.join();
    ASSERT_TRUE(ran);
    EXPECT_TRUE(fs::is_directory(machine.Prefix() + "/drive_c/a/" + name));
    EXPECT_FALSE(fs::exists(machine.Prefix() + "/drive_c/a/b"));
}

}  // namespace
}  // namespace wi::platform
