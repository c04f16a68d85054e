// webinteractive filelist create|save|upload --list FILE: the file list documents of the records
// that a document holds (a file list, an upload file list, a downloaded file list).
#include <cstdio>
#include <list>
#include <string>

#include "command.h"
#include "record_commands.h"
#include "report.h"
#include "status_display.h"
#include "webinteractive/webinteractive.h"

namespace cli {

int RunFileListCreate(const Arguments& arguments) {
    std::list<ISoftInfoInc::_SoftInfo> softs;
    if (!ReadRecords(arguments, softs)) return kExitFailure;
    // The document goes to standard output, so the status lines go to standard error.
    MoveStatusToStandardError();
    return RunWriter("CreateFileListXml", [&] {
        const std::string text = IWebInteractive::CreateFileListXml(softs);
        if (text.empty()) {
            Fail("no file list document could be made of %s", arguments.Get("--list").c_str());
            return false;
        }
        Result().Set("document", json::Value::Text(text));
        Print("%s%s", text.c_str(), text.back() != '\n' ? "\n" : "");
        return std::fflush(stdout) == 0;
    });
}

int RunFileListSave(const Arguments& arguments) {
    std::list<ISoftInfoInc::_SoftInfo> softs;
    if (!ReadRecords(arguments, softs)) return kExitFailure;
    const std::string& out = arguments.Get("--out");
    return RunWriter("SaveUploadFileListXml", [&] {
        IWebInteractive::SaveUploadFileListXml(out.c_str(), softs);
        if (!CXFileOperator::PathExists(out)) {
            Fail("%s was not written: check that its folder exists on the machine", out.c_str());
            return false;
        }
        Print("saved %zu records to %s\n", softs.size(), out.c_str());
        Result().Set("saved", json::Value::Text(out));
        Result().Set("records", json::Value::Number(static_cast<std::int64_t>(softs.size())));
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
        Result().Set("result", json::Value::Number(result));
        if (result != 1) Fail("the service did not accept the file list at %s", url.c_str());
        return result == 1;
    });
}

}  // namespace cli
