// The emulated machine: prefix creation and completion, drives, free space, special folders,
// and swapping in a test machine.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/machine.h"
#include "support/temp_machine.h"

namespace fs = std::filesystem;

namespace wi::platform {
namespace {

TEST(MachinePrefix, NewPrefixGetsDrivesCommandAndFolders) {
    test::TempMachine machine;
    const std::string& prefix = machine.Prefix();
    EXPECT_EQ(MachinePrefix(), prefix);
    EXPECT_EQ(fs::read_symlink(prefix + "/dosdevices/c:"), "../drive_c");
    EXPECT_EQ(fs::read_symlink(prefix + "/dosdevices/d:"), "../drive_d");
    EXPECT_EQ(fs::read_symlink(prefix + "/drive_c/windows/system32/cmd.exe"), WI_TEST_CMD);
    EXPECT_TRUE(fs::is_directory(prefix + "/drive_c/ProgramData/Microsoft/Windows/Templates"));
    EXPECT_TRUE(fs::is_directory(prefix + "/drive_c/users/Public/Documents"));
}

TEST(MachinePrefix, OlderPrefixIsCompletedButKeepsItsDrives) {
    test::TempMachine machine;
    std::string prefix = machine.Root() + "/older";
    fs::create_directories(prefix + "/dosdevices");
    fs::create_directories(prefix + "/drive_c");
    fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    // A stale link to a program that is gone is pointed at the cmd program again.
    fs::create_directories(prefix + "/drive_c/windows/system32");
    fs::create_symlink("/nonexistent/cmd", prefix + "/drive_c/windows/system32/cmd.exe");

    SetMachinePrefix(prefix);
    EXPECT_TRUE(CurrentMachine().IsFixedDrive('C'));
    EXPECT_FALSE(CurrentMachine().IsFixedDrive('D'));
    EXPECT_FALSE(fs::exists(prefix + "/dosdevices/d:"));
    EXPECT_EQ(fs::read_symlink(prefix + "/drive_c/windows/system32/cmd.exe"), WI_TEST_CMD);
    EXPECT_TRUE(fs::is_directory(prefix + "/drive_c/users/Public/Documents"));
}

TEST(MachineDrives, FixedDrivesAreEntriesThatResolveToFolders) {
    test::TempMachine machine;
    machine.AddDrive('e', machine.MakeHostDirectory("big"));
    machine.AddDevice('f', machine.MakeHostDirectory("cdrom"));  // "f::" is a device
    machine.AddDrive('g', machine.Root() + "/missing");           // dangling
    std::ofstream(machine.Root() + "/plain.txt") << "x";
    machine.AddDrive('h', machine.Root() + "/plain.txt");

    std::string fixed;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (CurrentMachine().IsFixedDrive(letter)) fixed += letter;
    }
    EXPECT_EQ(fixed, "CDE");
    EXPECT_TRUE(CurrentMachine().IsFixedDrive('e'));
    EXPECT_FALSE(CurrentMachine().IsFixedDrive('1'));

    // Files reach the new drive through its link.
    ASSERT_TRUE(CreateDirectory("E:\\store"));
    EXPECT_TRUE(fs::is_directory(machine.Root() + "/big/store"));
}

TEST(MachineDrives, FreeSpaceComesFromTheVolume) {
    test::TempMachine machine;
    DiskSpace space;
    ASSERT_TRUE(CurrentMachine().QueryDiskSpace("D:\\", space));
    fs::space_info expected = fs::space(machine.HostPath("D:\\"));
    EXPECT_EQ(space.total, expected.capacity);
    EXPECT_GT(space.totalFree, 0u);
    EXPECT_GE(space.totalFree, space.availableToCaller);
    EXPECT_FALSE(CurrentMachine().QueryDiskSpace("Q:\\", space));
}

TEST(MachineFolders, SpecialFoldersAreMadeOnDriveC) {
    test::TempMachine machine;
    std::string path;
    ASSERT_TRUE(CurrentMachine().GetSpecialFolder(kSystemFolder, path));
    EXPECT_EQ(path, "C:\\windows\\system32");
    fs::remove_all(machine.HostPath("C:\\users"));
    ASSERT_TRUE(CurrentMachine().GetSpecialFolder(kCommonDocuments, path));
    EXPECT_EQ(path, "C:\\users\\Public\\Documents");
    EXPECT_TRUE(fs::is_directory(machine.HostPath(path)));
    EXPECT_FALSE(CurrentMachine().GetSpecialFolder(99, path));

    machine.RemoveDrive('c');
    EXPECT_FALSE(CurrentMachine().GetSpecialFolder(kWindowsFolder, path));
}

// A test machine that fakes free space and forwards the rest to the real one.
class SmallDisks : public Machine {
public:
    bool IsFixedDrive(char letter) override { return letter == 'C'; }
    bool QueryDiskSpace(const std::string&, DiskSpace& space) override {
        space.availableToCaller = space.total = space.totalFree = 1024;
        return true;
    }
    bool GetSpecialFolder(int id, std::string& path) override {
        return SystemMachine().GetSpecialFolder(id, path);
    }
    ClockTime UtcTime() override { return SystemMachine().UtcTime(); }
    ClockTime LocalTime() override { return SystemMachine().LocalTime(); }
    std::uint64_t MillisecondsSinceStart() override { return 42; }
    unsigned long ThreadId() override { return SystemMachine().ThreadId(); }
    void Sleep(unsigned milliseconds) override { SystemMachine().Sleep(milliseconds); }
};

TEST(MachineSwap, ATestMachineReplacesTheSystemOne) {
    SmallDisks small;
    SetMachine(&small);
    DiskSpace space;
    EXPECT_TRUE(CurrentMachine().QueryDiskSpace("Z:\\", space));
    EXPECT_EQ(space.total, 1024u);
    EXPECT_EQ(CurrentMachine().MillisecondsSinceStart(), 42u);
    SetMachine(nullptr);
    EXPECT_EQ(&CurrentMachine(), &SystemMachine());
}

TEST(MachineClocks, TimesAreWholeAndMonotonic) {
    Machine& machine = SystemMachine();
    ClockTime utc = machine.UtcTime();
    EXPECT_GE(utc.year, 2024);
    EXPECT_TRUE(utc.month >= 1 && utc.month <= 12);
    EXPECT_TRUE(utc.millisecond >= 0 && utc.millisecond < 1000);
    std::uint64_t before = machine.MillisecondsSinceStart();
    machine.Sleep(20);
    EXPECT_GT(machine.MillisecondsSinceStart(), before);
    EXPECT_NE(machine.ThreadId(), 0u);
}

}  // namespace
}  // namespace wi::platform
