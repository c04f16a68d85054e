// webinteractive filelist create|save|upload --list FILE: the file list documents of the records
// that a document holds (a file list, an upload file list, a downloaded file list).
#include <cstdio>
#include <list>
#include <string>

#include "command.h"
#include "record_commands.h"
#include "webinteractive/webinteractive.h"

namespace cli {

int RunFileListCreate(const Arguments& arguments) {
    std::list<ISoftInfoInc::_SoftInfo> softs;
    if (!ReadRecords(arguments, softs)) return kExitFailure;
    // The document goes to standard output, so the status lines go to standard error.
    IHelperInc::SetStatusSink(nullptr, nullptr);
    return RunWriter("CreateFileListXml", [&] {
        const std::string text = IWebInteractive::CreateFileListXml(softs);
        if (text.empty()) {
            std::fprintf(stderr, "webinteractive: no file list document could be made\n");
            return false;
        }
        std::fputs(text.c_str(), stdout);
        if (text.back() != '\n') std::fputc('\n', stdout);
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
            std::fprintf(stderr, "webinteractive: %s was not written\n", out.c_str());
            return false;
        }
        std::printf("saved %zu records to %s\n", softs.size(), out.c_str());
        return true;
    });
}

int RunFileListUpload(const Arguments& arguments) {
    std::list<ISoftInfoInc::_SoftInfo> softs;
    if (!ReadRecords(arguments, softs)) return kExitFailure;
    const std::string& url = arguments.Get("--url");
    return RunWriter("UploadFileList", [&] {
        const int result = IWebInteractive::UploadFileList(url.c_str(), softs);
        std::printf("UploadFileList: %d\n", result);
        return result == 1;
    });
}

}  // namespace cli
