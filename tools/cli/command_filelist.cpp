// webinteractive filelist create|save|upload --list FILE: the file list documents of the records
// that a document holds (a file list, an upload file list, a downloaded file list).
#include <cstdio>
#include <list>
#include <string>

#include "command.h"
#include "failure_cause.h"
#include "record_commands.h"
#include "report.h"
#include "partial_files.h"
#include "webinteractive/webinteractive.h"

namespace cli {

int RunFileListCreate(const Arguments& arguments) {
    std::list<ISoftInfoInc::_SoftInfo> softs;
    if (!ReadRecords(arguments, softs)) return kExitFailure;
    return RunWriter("CreateFileListXml", [&] {
        const std::string text = IWebInteractive::CreateFileListXml(softs);
        if (text.empty()) {
            Fail("no file list document could be made of %s", arguments.Get("--list").c_str());
            return false;
        }
        Result()["document"] = json::Text(text);
        Print("%s%s", text.c_str(), text.back() != '\n' ? "\n" : "");
        return std::fflush(ResultStream()) == 0;
    });
}

int RunFileListSave(const Arguments& arguments) {
    std::list<ISoftInfoInc::_SoftInfo> softs;
    if (!ReadRecords(arguments, softs)) return kExitFailure;
    const std::string& out = arguments.Get("--out");
    WatchFolder(FolderOf(out));
    return RunWriter("SaveUploadFileListXml", [&] {
        IWebInteractive::SaveUploadFileListXml(out.c_str(), softs);
        if (!CXFileOperator::PathExists(out)) {
            Fail("%s was not written: check that its folder exists on the machine", out.c_str());
            return false;
        }
        Print("saved %zu records to %s\n", softs.size(), out.c_str());
        Result()["saved"] = json::Text(out);
        Result()["records"] = softs.size();
        return true;
    });
}

int RunFileListUpload(const Arguments& arguments) {
    std::list<ISoftInfoInc::_SoftInfo> softs;
    if (!ReadRecords(arguments, softs)) return kExitFailure;
    const std::string& url = arguments.Get("--url");
    return RunWriter("UploadFileList", [&] {
        const int result = IWebInteractive::UploadFileList(url.c_str(), softs);
        Print("UploadFileList: %d\n", result);
        Result()["result"] = result;
        const bool accepted = CheckUploadAnswer(url) && result == 1;
        if (!accepted) Fail("the service did not accept the file list at %s", url.c_str());
        return accepted;
    });
}

}  // namespace cli
