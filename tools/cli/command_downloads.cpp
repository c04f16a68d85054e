#include "command_downloads.h"

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "command_input.h"
#include "interrupt_cancel.h"
#include "partial_files.h"
#include "record_commands.h"
#include "record_json.h"
#include "report.h"
#include "status_display.h"
#include "webinteractive/webinteractive.h"

namespace cli {

namespace {

using ISoftInfoInc::_SoftID;

// Room for any path the library writes into a caller's buffer.
constexpr std::size_t kPathBufferSize = 32768;

// One line per record, then their number; an empty set is a failure.
int PrintSoftIDs(const std::set<_SoftID>& ids, const char* what, const char* hint) {
    json::Value softwares = json::Value::array();
    for (const _SoftID& id : ids) {
        Print("software %s \"%s\"\n", id.GUID.c_str(), id.pn_name.c_str());
        softwares.push_back(SoftIdJson(id));
    }
    Print("%zu softwares\n", ids.size());
    Result()["softwares"] = std::move(softwares);
    if (ids.empty()) {
        Fail("%s read no softwares: %s", what, hint);
        return kExitFailure;
    }
    return kExitOk;
}

// Runs one download operation that reports its outcome as 1 or 0; on 1 prints where the file
// went, on 0 says in one line that it failed. Errors of the operation are told by RunWriter.
template <typename Download>
int RunDownload(const char* what, const std::string& url, Download download) {
    return RunWriter(what, [&] {
        std::string path;
        if (download(path) != 1) {
            Fail("%s failed: the service at %s did not deliver the file; check the address and "
                 "the name", what, url.c_str());
            return false;
        }
        Print("downloaded to %s\n", path.c_str());
        Result()["path"] = json::Text(path);
        return true;
    });
}

std::string TakePath(const std::vector<char>& buffer) { return std::string(buffer.data()); }

std::string Templates() { return IHostInc::GetSpecialFolderPath(kTemplatesFolder); }

// A download's file, named `shown` in its progress, and the request that locates it first.
void ExpectDownload(const std::string& shown, const std::string& folder) {
    NameTransfers("locating " + shown, shown);
    WatchSpecialFolder(kDocumentsFolder);
    WatchFolder(folder);
}

}  // namespace

int RunSoftListDownload(const Arguments& arguments) {
    const std::string& url = arguments.Get("--url");
    NameTransfers("software list", "");
    WatchSpecialFolder(kDocumentsFolder);
    // DownloadSoftList raises nothing: a failed request is an empty set.
    return PrintSoftIDs(IWebInteractive::DownloadSoftList(url.c_str()), "DownloadSoftList",
                        "check the address, or upload a software list first");
}

int RunSoftListParse(const Arguments& arguments) {
    std::string text;
    if (!ReadOptionFile(arguments, "--file", text)) return kExitFailure;
    std::set<_SoftID> ids;
    const int parsed = RunWriter("ParseSoftIDList", [&] {
        ids = IWebInteractive::ParseSoftIDList(text.c_str());
        return true;
    });
    return parsed != kExitOk ? parsed
                             : PrintSoftIDs(ids, "ParseSoftIDList",
                                            "the file is no software ID list in the narrow code "
                                            "page");
}

int RunPatchDownload(const Arguments& arguments) {
    const std::string& url = arguments.Get("--url");
    const std::string& id = arguments.Get("--id");
    ExpectDownload(id, Templates());
    return RunDownload("DownloadPatchFile", url, [&](std::string& path) {
        std::vector<char> buffer(kPathBufferSize);
        const int result =
            IWebInteractive::DownloadPatchFile(url.c_str(), id.c_str(), buffer.data());
        path = TakePath(buffer);
        return result;
    });
}

int RunSoftFileDownload(const Arguments& arguments) {
    const std::string& url = arguments.Get("--url");
    const std::string& guid = arguments.Get("--guid");
    const std::string& softCode = arguments.Get("--soft-code");
    const std::string& fileCode = arguments.Get("--file-code");
    int type = 1;
    if (arguments.Has("--type") && !ReadIntOption(arguments, "--type", type)) return kExitUsage;
    NameTransfers("", fileCode);
    WatchSpecialFolder(kTemplatesFolder);
    return RunDownload("DownloadSoftFile", url, [&](std::string& path) {
        std::vector<char> buffer(kPathBufferSize);
        const int result = IWebInteractive::DownloadSoftFile(url.c_str(), guid.c_str(),
                                                             softCode.c_str(), fileCode.c_str(),
                                                             type, buffer.data());
        path = TakePath(buffer);
        return result;
    });
}

int RunInstallFileDownload(const Arguments& arguments) {
    const std::string& url = arguments.Get("--url");
    const std::string& subdir = arguments.Get("--subdir");
    const std::string& name = arguments.Get("--name");
    ExpectDownload(name, FolderOf(Templates() + "\\" + subdir + "\\" + name));
    return RunDownload("DownloadInstallFile", url, [&](std::string& path) {
        std::vector<char> buffer(kPathBufferSize);
        const InterruptCancel cancel;
        const int result = IWebInteractive::DownloadInstallFile(
            url.c_str(), subdir.c_str(), name.c_str(), buffer.data(), cancel.event());
        path = TakePath(buffer);
        return result;
    });
}

int RunInstallFileDownloadTo(const Arguments& arguments) {
    const std::string& url = arguments.Get("--url");
    const std::string& subdir = arguments.Get("--subdir");
    const std::string& name = arguments.Get("--name");
    const std::string& target = arguments.Get("--dir");
    ExpectDownload(name, FolderOf(target + "\\" + name));
    return RunDownload("DownloadInstallFile1", url, [&](std::string& path) {
        // The operation names no path: it is the target directory and the name.
        path = target;
        if (!path.empty() && path.back() == '\\') path.pop_back();
        path += "\\" + name;
        const InterruptCancel cancel;
        return IWebInteractive::DownloadInstallFile1(url.c_str(), subdir.c_str(), name.c_str(),
                                                     target.c_str(), cancel.event());
    });
}

int RunDownloadSize(const Arguments& arguments) {
    const std::string& url = arguments.Get("--url");
    const std::string& name = arguments.Get("--name");
    NameTransfers("locating " + name, "");
    WatchSpecialFolder(kDocumentsFolder);
    return RunWriter("GetDownloadSize", [&] {
        const std::int64_t size = IWebInteractive::GetDownloadSize(url.c_str(), name.c_str());
        if (size < 0) {
            Fail("the size of %s could not be found at %s: check the address and the name",
                 name.c_str(), url.c_str());
            return false;
        }
        Print("size: %lld bytes\n", static_cast<long long>(size));
        Result()["size"] = size;
        return true;
    });
}

int RunRemoveFileInfo(const Arguments& arguments) {
    const char* url = arguments.Get("--url").c_str();
    const char* guid = arguments.Get("--guid").c_str();
    const char* version = arguments.Get("--version").c_str();
    const char* code = arguments.Get("--code").c_str();
    NameTransfers(std::string("removal of ") + guid, "");
    WatchSpecialFolder(kDocumentsFolder);
    return RunWriter("RemoveFileInfo", [&] {
        if (IWebInteractive::RemoveFileInfo(url, guid, version, code) != 1) {
            Fail("RemoveFileInfo: the service at %s did not answer", url);
            return false;
        }
        Print("the service answered the removal of %s\n", guid);
        Result()["result"] = 1;
        return true;
    });
}

}  // namespace cli
