#include "support/temp_machine.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "platform/machine.h"
#include "platform/posix/host_path.h"

namespace fs = std::filesystem;

namespace wi::test {

namespace {

std::string EntryPath(const std::string& prefix, char letter, const char* suffix) {
    return prefix + "/dosdevices/" + static_cast<char>(letter | 0x20) + suffix;
}

void ReplaceLink(const std::string& link, const std::string& target) {
    std::error_code ignored;
    fs::remove(link, ignored);
    fs::create_directory_symlink(target, link);
}

}  // namespace

TempMachine::TempMachine() {
    std::string pattern = (fs::temp_directory_path() / "wi-machine-XXXXXX").string();
    if (!mkdtemp(&pattern[0])) throw std::runtime_error("cannot make a temporary directory");
    root_ = pattern;
    previousPrefix_ = platform::MachinePrefix();
    prefix_ = root_ + "/prefix";
    // The cmd program of this build, not an installed one.
    setenv("WEBINTERACTIVE_CMD", WI_TEST_CMD, 1);
    platform::SetMachinePrefix(prefix_);
    platform::posix::DriveEntryPath('c');  // creates the prefix now
}

TempMachine::~TempMachine() {
    platform::SetMachinePrefix(previousPrefix_);
    RemoveHostTree(root_);
}

std::string TempMachine::HostPath(const std::string& windowsPath) const {
    std::string host;
    return platform::posix::ToHostPath(windowsPath, host) ? host : "";
}

std::string TempMachine::MakeHostDirectory(const std::string& name) const {
    std::string path = root_ + "/" + name;
    fs::create_directories(path);
    return path;
}

void TempMachine::AddDrive(char letter, const std::string& target) const {
    ReplaceLink(EntryPath(prefix_, letter, ":"), target);
}

void TempMachine::AddDevice(char letter, const std::string& target) const {
    ReplaceLink(EntryPath(prefix_, letter, "::"), target);
}

void TempMachine::RemoveDrive(char letter) const { fs::remove(EntryPath(prefix_, letter, ":")); }

void RemoveHostTree(const std::string& hostPath) {
    std::error_code error;
    // Directory permissions only: read-only directories are kept as extended attributes, which
    // never stand in the way, but a test may have taken write bits away.
    for (auto it = fs::recursive_directory_iterator(hostPath, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
        }
    }
    fs::permissions(hostPath, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(hostPath, error);
}

}  // namespace wi::test
