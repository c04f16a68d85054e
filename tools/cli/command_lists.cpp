#include "command_lists.h"

#include <cstdio>
#include <list>
#include <string>

#include "command_input.h"
#include "fetched_document.h"
#include "interrupt_cancel.h"
#include "partial_files.h"
#include "record_commands.h"
#include "record_json.h"
#include "report.h"
#include "status_display.h"
#include "webinteractive/webinteractive.h"

namespace cli {

namespace {

using ISoftInfoInc::_SoftInfo;

// The value of an option, or "" when it was not given.
std::string Optional(const Arguments& arguments, const char* option) {
    return arguments.Has(option) ? arguments.Get(option) : std::string();
}

// One line per record: who it is and how much it holds.
void PrintSummary(const std::list<_SoftInfo>& softs) {
    for (const _SoftInfo& soft : softs) {
        Print("software %s \"%s\" version \"%s\": %zu files, %zu dependences, "
              "%zu configuration entries, %zu patches\n",
              soft.GUID.c_str(), soft.Name.c_str(), soft.Version.c_str(), soft.files.size(),
              soft.dependences.size(), soft.configs.size(), soft.patchs.size());
        // The patch identifiers are what "patch download --id" takes.
        for (const _PatchInfo& patch : soft.patchs) {
            Print("  patch %s \"%s\"\n", patch.PatchID.c_str(), patch.Descrip.c_str());
        }
    }
}

// A list read from the service, named `shown` in its progress: the library keeps its answer in
// a temporary document of the documents folder; --save writes the records to a folder too.
void ExpectList(const Arguments& arguments, const std::string& shown) {
    NameTransfers(shown, shown);
    WatchSpecialFolder(kDocumentsFolder);
    if (arguments.Has("--save")) WatchFolder(FolderOf(arguments.Get("--save")));
}

// Prints the records and, with --save, writes them as an upload file list document. `hint` says
// what to do when there are none.
int Report(const Arguments& arguments, const std::list<_SoftInfo>& softs, const char* what,
           const char* hint) {
    PrintSummary(softs);
    Result()["records"] = SoftInfoListJson(softs);
    if (softs.empty()) {
        Fail("%s read no software versions: %s", what, hint);
        return kExitFailure;
    }
    if (!arguments.Has("--save")) return kExitOk;
    const std::string& path = arguments.Get("--save");
    return RunWriter("SaveUploadFileListXml", [&] {
        IWebInteractive::SaveUploadFileListXml(path.c_str(), softs);
        if (!CXFileOperator::PathExists(path)) {
            Fail("%s was not written: check that its folder exists on the machine", path.c_str());
            return false;
        }
        Print("saved %zu records to %s\n", softs.size(), path.c_str());
        Result()["saved"] = json::Text(path);
        return true;
    });
}

}  // namespace

int RunFileListDownload(const Arguments& arguments) {
    const std::string& url = arguments.Get("--url");
    const std::string& guid = arguments.Get("--guid");
    const std::string code = Optional(arguments, "--special-code");
    const std::string version = Optional(arguments, "--pn-version");
    int locked = 0;
    std::list<_SoftInfo> softs;
    ExpectList(arguments, "file list of " + guid);
    const int read = RunWriter("DownloadFileList", [&] {
        const InterruptCancel cancel;
        softs = IWebInteractive::DownloadFileList(url.c_str(), guid.c_str(), code.c_str(),
                                                  version.c_str(), locked, cancel.event());
        return true;
    });
    if (read != kExitOk) return read;
    if (!softs.empty()) {
        Print("locked: %d\n", locked);
        Result()["locked"] = locked;
    }
    return Report(arguments, softs, "DownloadFileList",
                  "the service has no file list of this software, or its answer is no file list");
}

int RunCertainFileList(const Arguments& arguments) {
    const std::string& url = arguments.Get("--url");
    const std::string& guid = arguments.Get("--guid");
    int version = 0;
    if (!ReadIntOption(arguments, "--version", version)) return kExitUsage;
    std::list<_SoftInfo> softs;
    ExpectList(arguments, "file list of " + guid + " version " + arguments.Get("--version"));
    const int read = RunWriter("DownloadCertainFileList", [&] {
        const _SoftInfo& record = IWebInteractive::DownloadCertainFileList(
            url.c_str(), guid.c_str(), version);
        // In a new process the record carries a GUID only once a document has been read.
        if (!record.GUID.empty()) softs.push_back(record);
        return true;
    });
    if (read != kExitOk) return read;
    return Report(arguments, softs, "DownloadCertainFileList",
                  "the service has no list of this version, or its answer is no file list");
}

int RunPatchListParse(const Arguments& arguments) {
    if (arguments.Has("--file") == arguments.Has("--url")) {
        FailInput("patch parse reads either --file DOC or --url URL: give one of them");
        return kExitUsage;
    }
    std::string text;
    if (arguments.Has("--file") && !ReadOptionFile(arguments, "--file", text)) return kExitFailure;
    std::list<_SoftInfo> softs;
    if (arguments.Has("--url")) ExpectList(arguments, "patch list");
    const int read = RunWriter("ParsePatchsList", [&] {
        if (arguments.Has("--url")) {
            std::string error;
            const InterruptCancel cancel;
            if (!FetchDocument(arguments.Get("--url"), "patchList", cancel.event(), text, error)) {
                Fail("%s", error.c_str());
                return false;
            }
        }
        softs = IWebInteractive::ParsePatchsList(text.c_str());
        return true;
    });
    if (read != kExitOk) return read;
    return Report(arguments, softs, "ParsePatchsList", "the document is no patch list");
}

}  // namespace cli
