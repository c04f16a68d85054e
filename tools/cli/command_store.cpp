// webinteractive protect|query|clean: the local protection store of the machine. Each run starts
// with Init (without service addresses), which builds the drive list and loads the protected
// softwares from the store's user document.
#include "command_store.h"

#include <cstdio>
#include <list>
#include <string>

#include "interrupt_cancel.h"
#include "partial_files.h"
#include "record_commands.h"
#include "report.h"
#include "webinteractive/webinteractive.h"

namespace cli {

namespace {

void InitStore() { IWebInteractive::Init("<Config/>"); }

// A protection copies into the store on every fixed drive ("C: D:").
void WatchStores() {
    const std::string drives = IHostInc::GetFixedDrives();
    std::string::size_type start = 0;
    while (start < drives.size()) {
        std::string::size_type end = drives.find(' ', start);
        if (end == std::string::npos) end = drives.size();
        if (end > start) WatchTree(drives.substr(start, end - start) + "\\qel_protect");
        start = end + 1;
    }
}

// Prints a path query's answer; an empty one is a failure.
int PrintPath(const char* what, const std::string& guid, const std::string& path) {
    if (path.empty()) {
        Fail("%s: nothing found for %s: protect the software first (webinteractive protect)",
             what, guid.c_str());
        return kExitFailure;
    }
    Print("%s\n", path.c_str());
    Result()["path"] = json::Text(path);
    return kExitOk;
}

// A document carries no local paths: the host of this CLI copies each file and dependence from
// where it is installed, its SetupPath.
ISoftInfoInc::_SoftInfo WithLocalPaths(const ISoftInfoInc::_SoftInfo& soft) {
    ISoftInfoInc::_SoftInfo local = soft;
    local.files.clear();
    for (IFileInfoInc::_FileInfo file : soft.files) {
        file.LocalPath = file.SetupPath;
        local.files.insert(file);
    }
    local.dependences.clear();
    for (IDepInfoInc::_DepInfo dependence : soft.dependences) {
        dependence.LocalPath = dependence.SetupPath;
        local.dependences.insert(dependence);
    }
    return local;
}

}  // namespace

int RunProtect(const Arguments& arguments) {
    std::list<ISoftInfoInc::_SoftInfo> softs;
    if (!ReadRecords(arguments, softs)) return kExitFailure;
    const ISoftInfoInc::_SoftInfo* chosen = ChooseRecord(arguments, softs);
    if (chosen == nullptr) return kExitFailure;
    const ISoftInfoInc::_SoftInfo soft = WithLocalPaths(*chosen);
    return RunWriter("ProtectFilesToLocal", [&] {
        InitStore();
        WatchStores();
        const InterruptCancel cancel;
        const int result = IWebInteractive::ProtectFilesToLocal(soft, cancel.event());
        Print("ProtectFilesToLocal: %d\n", result);
        Result()["guid"] = json::Text(soft.GUID);
        Result()["result"] = result;
        if (result != 1) {
            Fail("%s was not protected: the status lines above name what could not be stored; "
                 "check that its files exist on the machine", soft.GUID.c_str());
        }
        return result == 1;
    });
}

int RunQueryProtectXml(const Arguments& arguments) {
    InitStore();
    const std::string& guid = arguments.Get("--guid");
    return PrintPath("GetProtectXmlPath", guid, IWebInteractive::GetProtectXmlPath(guid.c_str()));
}

int RunQueryInstallPath(const Arguments& arguments) {
    InitStore();
    const std::string& guid = arguments.Get("--guid");
    return PrintPath("GetProtectedInstallPath", guid,
                     IWebInteractive::GetProtectedInstallPath(guid.c_str()));
}

int RunQueryVersion(const Arguments& arguments) {
    InitStore();
    const std::string& guid = arguments.Get("--guid");
    const int version = IWebInteractive::GetProtectedVersion(guid.c_str());
    if (version == -1) {
        Fail("GetProtectedVersion: %s is not protected: protect it first (webinteractive protect)",
             guid.c_str());
        return kExitFailure;
    }
    Print("%d\n", version);
    Result()["version"] = version;
    return kExitOk;
}

int RunQueryFile(const Arguments& arguments) {
    InitStore();
    const std::string& source = arguments.Get("--source");
    return PrintPath("GetFileProtectPath", source,
                     IWebInteractive::GetFileProtectPath(arguments.Get("--xml").c_str(),
                                                         source.c_str()));
}

int RunClean(const Arguments& arguments) {
    const std::string& guid = arguments.Get("--guid");
    return RunWriter("CleanProtectSoftware", [&] {
        InitStore();
        const int result = IWebInteractive::CleanProtectSoftware(guid.c_str());
        Print("CleanProtectSoftware: %d\n", result);
        Result()["result"] = result;
        if (result != 1) {
            Fail("%s is not protected; nothing was removed (webinteractive query xml --guid %s "
                 "tells whether it is)", guid.c_str(), guid.c_str());
        }
        return result == 1;
    });
}

}  // namespace cli
