// The machine prefix, laid out like Wine's:
//   <prefix>/dosdevices/c: -> ../drive_c    one entry per drive letter
//   <prefix>/drive_c/windows/system32/cmd.exe -> the cmd program
// A new prefix gets drives C: and D:; an older one keeps the drives its user made and only gets
// the command interpreter link and the special folders it lacks.
#include "platform/posix/machine_prefix.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <mutex>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/machine.h"

namespace wi::platform::posix {

namespace {

struct SpecialFolderPlace {
    int id;
    const char* windowsPath;  // on drive C:
};
const SpecialFolderPlace kSpecialFolders[] = {
    {kWindowsFolder, "C:\\windows"},
    {kSystemFolder, "C:\\windows\\system32"},
    {kCommonTemplates, "C:\\ProgramData\\Microsoft\\Windows\\Templates"},
    {kCommonDocuments, "C:\\users\\Public\\Documents"},
};

std::mutex prefixMutex;
std::string explicitPrefix;  // set through SetMachinePrefix
std::string preparedPrefix;  // the prefix last created or completed

std::string AbsolutePath(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char directory[PATH_MAX];
    if (!getcwd(directory, sizeof directory)) return path;
    return std::string(directory) + "/" + path;
}

std::string HomeDirectory() {
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    struct passwd entry;
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found &&
        found->pw_dir) {
        return found->pw_dir;
    }
    return "";
}

std::string DefaultPrefix() {
    const char* variable = std::getenv("WEBINTERACTIVE_PREFIX");
    if (variable && *variable) return AbsolutePath(variable);
    std::string home = HomeDirectory();
    return home.empty() ? "" : home + "/.webinteractive";
}

bool IsHostDirectory(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool IsRegularFile(const char* path) {
    struct stat status;
    return stat(path, &status) == 0 && S_ISREG(status.st_mode);
}

// The cmd program installed beside the library that holds this code, wherever the installation
// was moved to: "<folder of libwebinteractive>/../libexec/webinteractive/cmd". Empty when this
// code is not in a shared library (a test program), or there is no such file.
std::string CommandProgramBesideLibrary() {
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&IsRegularFile), &info) == 0 || !info.dli_fname) return "";
    const std::string library = info.dli_fname;
    const std::size_t slash = library.rfind('/');
    if (slash == std::string::npos) return "";
    const std::string program = library.substr(0, slash + 1) + WI_CMD_FROM_LIBDIR;
    char resolved[PATH_MAX];
    if (!realpath(program.c_str(), resolved) || !IsRegularFile(resolved)) return "";
    return resolved;
}

// The program that stands in for cmd.exe: WEBINTERACTIVE_CMD, else the one installed beside the
// library, else the one of the configured installation, else the one of the build tree.
std::string CommandProgram() {
    const char* variable = std::getenv("WEBINTERACTIVE_CMD");
    if (variable && *variable) return AbsolutePath(variable);
    const std::string beside = CommandProgramBesideLibrary();
    if (!beside.empty()) return beside;
    if (IsRegularFile(WI_INSTALLED_CMD)) return WI_INSTALLED_CMD;
    return WI_BUILD_CMD;
}

// Makes the link point at the program, re-pointing a stale link; a file that is not a link is
// the user's and stays.
void LinkCommandInterpreter(const std::string& link) {
    std::string program = CommandProgram();
    struct stat status;
    if (lstat(link.c_str(), &status) == 0) {
        if (!S_ISLNK(status.st_mode)) return;
        char target[PATH_MAX];
        ssize_t length = readlink(link.c_str(), target, sizeof target);
        if (length >= 0 && std::string(target, static_cast<std::size_t>(length)) == program) return;
        unlink(link.c_str());
    }
    symlink(program.c_str(), link.c_str());
}

void CreateDrive(const std::string& prefix, char letter) {
    std::string folder = std::string("drive_") + letter;
    MakeHostDirectories(prefix + "/" + folder);
    symlink(("../" + folder).c_str(), (prefix + "/dosdevices/" + letter + ":").c_str());
}

void PreparePrefix(const std::string& prefix) {
    std::string devices = prefix + "/dosdevices";
    if (!IsHostDirectory(devices)) {
        MakeHostDirectories(devices);
        CreateDrive(prefix, 'c');
        CreateDrive(prefix, 'd');
    }
    std::string driveC = devices + "/c:/";
    if (!IsHostDirectory(driveC)) return;  // a prefix without C: has no folders to complete
    for (const SpecialFolderPlace& folder : kSpecialFolders) {
        std::string relative = folder.windowsPath + 3;
        for (char& c : relative) {
            if (c == '\\') c = '/';
        }
        MakeHostDirectories(driveC + relative);
    }
    LinkCommandInterpreter(driveC + "windows/system32/cmd.exe");
}

}  // namespace

bool MakeHostDirectories(const std::string& hostPath) {
    for (std::size_t slash = hostPath.find('/', 1); slash != std::string::npos;
         slash = hostPath.find('/', slash + 1)) {
        mkdir(hostPath.substr(0, slash).c_str(), 0777);
    }
    mkdir(hostPath.c_str(), 0777);
    return IsHostDirectory(hostPath);
}

bool SpecialFolderWindowsPath(int id, std::string& windowsPath) {
    for (const SpecialFolderPlace& folder : kSpecialFolders) {
        if (folder.id == id) {
            windowsPath = folder.windowsPath;
            return true;
        }
    }
    return false;
}

std::string PreparedMachinePrefix() {
    std::lock_guard<std::mutex> lock(prefixMutex);
    std::string prefix = explicitPrefix.empty() ? DefaultPrefix() : explicitPrefix;
    if (!prefix.empty() && prefix != preparedPrefix) {
        PreparePrefix(prefix);
        preparedPrefix = prefix;
    }
    return prefix;
}

}  // namespace wi::platform::posix

namespace wi::platform {

void SetMachinePrefix(const std::string& prefix) {
    std::lock_guard<std::mutex> lock(posix::prefixMutex);
    posix::explicitPrefix = posix::AbsolutePath(prefix);
    posix::preparedPrefix.clear();  // prepare again on the next use, even the same folder
}

std::string MachinePrefix() {
    std::lock_guard<std::mutex> lock(posix::prefixMutex);
    return posix::explicitPrefix.empty() ? posix::DefaultPrefix() : posix::explicitPrefix;
}

}  // namespace wi::platform

namespace wi::platform {

std::string MachineLockPath() {
    const std::string prefix = posix::PreparedMachinePrefix();
    return prefix.empty() ? std::string() : prefix + "/machine.lock";
}

}  // namespace wi::platform
