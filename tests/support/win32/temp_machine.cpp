// Under Wine the machine is the test run's own Windows prefix: C: and a D: linked to a folder of
// the run (tests/wine/wine_machine.sh), with no Z:. A fresh machine is that D: emptied; Windows
// paths are the host's paths, and the cmd.exe of the system folder runs the commands.
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "platform/files.h"
#include "platform/machine.h"
#include "support/peers.h"
#include "support/temp_machine.h"

namespace fs = std::filesystem;

namespace wi::test {

namespace {

// Empties D: of what tests before left there: only on the run's own drive, which the test run
// announces, never on a D: of a real machine.
void EmptyTestDrive() {
    if (!std::getenv("WI_TEST_DRIVE_D_IS_TEMPORARY")) {
        throw std::runtime_error("D: is not the test run's own drive (run the tests through ctest)");
    }
    std::vector<std::string> names;
    platform::ListDirectory("D:\\", names);
    for (const std::string& name : names) {
        RemoveHostTree("D:\\" + name);
    }
    // The folders of C: that the library keeps its documents and downloads in begin empty too, as
    // on a fresh emulated machine (the run's prefix starts with them empty).
    for (const int id : {platform::kCommonTemplates, platform::kCommonDocuments}) {
        std::string folder;
        names.clear();
        if (!platform::SystemMachine().GetSpecialFolder(id, folder)) continue;
        platform::ListDirectory(folder, names);
        for (const std::string& name : names) {
            RemoveHostTree(folder + "\\" + name);
        }
    }
}

[[noreturn]] void PosixMachineOnly(const char* what) {
    throw std::logic_error(std::string(what) + " changes the drives of an emulated machine: the "
                           "Windows machine's drives are its own");
}

}  // namespace

TempMachine::TempMachine() {
    EmptyTestDrive();
    root_ = MakeTempDirectory("wi-machine");
}

TempMachine::~TempMachine() { RemoveHostTree(root_); }

std::string TempMachine::HostPath(const std::string& windowsPath) const { return windowsPath; }

std::string TempMachine::MakeHostDirectory(const std::string& name) const {
    std::string path = root_ + "\\" + name;
    fs::create_directories(path);
    return path;
}

void TempMachine::AddDrive(char, const std::string&) const { PosixMachineOnly("AddDrive"); }
void TempMachine::AddDevice(char, const std::string&) const { PosixMachineOnly("AddDevice"); }
void TempMachine::RemoveDrive(char) const { PosixMachineOnly("RemoveDrive"); }

void RemoveHostTree(const std::string& hostPath) {
    std::string failed;
    if (platform::RemoveTree(hostPath, failed)) return;
    // A file, or read-only: the tree removal takes folders only.
    constexpr std::uint32_t kNormal = 0x80;
    platform::SetFileAttributes(hostPath, kNormal);
    platform::DeleteFile(hostPath);
}

}  // namespace wi::test
