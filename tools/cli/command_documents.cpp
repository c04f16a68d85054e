// webinteractive softlist create|upload, installinfo upload, sysinfo upload, softfile upload:
// the software list and install info documents of the records a document holds, the system
// information document, and one software file, each posted to the service.
#include <cstdio>
#include <list>
#include <set>
#include <string>

#include "command.h"
#include "command_input.h"
#include "record_commands.h"
#include "webinteractive/webinteractive.h"

namespace cli {
namespace {

using ISoftInfoInc::_SoftInfo;

// The identities of the records, as the software list takes them.
std::set<ISoftInfoInc::_SoftID> SoftIds(const std::list<_SoftInfo>& softs) {
    std::set<ISoftInfoInc::_SoftID> ids;
    for (const _SoftInfo& soft : softs) ids.insert({soft.GUID, soft.pn_name, soft.pn_version});
    return ids;
}

}  // namespace

int RunSoftListCreate(const Arguments& arguments) {
    std::list<_SoftInfo> softs;
    if (!ReadRecords(arguments, softs)) return kExitFailure;
    return RunWriter("CreateSoftListXml", [&] {
        const std::string text = IWebInteractive::CreateSoftListXml(SoftIds(softs));
        if (text.empty()) {
            std::fprintf(stderr, "webinteractive: no software list document could be made\n");
            return false;
        }
        std::fputs(text.c_str(), stdout);
        if (text.back() != '\n') std::fputc('\n', stdout);
        return std::fflush(stdout) == 0;
    });
}

int RunSoftListUpload(const Arguments& arguments) {
    std::list<_SoftInfo> softs;
    if (!ReadRecords(arguments, softs)) return kExitFailure;
    return RunWriter("UploadSoftList", [&] {
        const int result =
            IWebInteractive::UploadSoftList(arguments.Get("--url").c_str(), SoftIds(softs));
        std::printf("\nUploadSoftList: %d\n", result);
        return result == 1;
    });
}

int RunInstallInfoUpload(const Arguments& arguments) {
    std::list<_SoftInfo> softs;
    if (!ReadRecords(arguments, softs)) return kExitFailure;
    auto chosen = softs.begin();
    if (arguments.Has("--guid")) {
        while (chosen != softs.end() && chosen->GUID != arguments.Get("--guid")) ++chosen;
        if (chosen == softs.end()) {
            std::fprintf(stderr, "webinteractive: no software %s in %s\n",
                         arguments.Get("--guid").c_str(), arguments.Get("--list").c_str());
            return kExitFailure;
        }
    }
    return RunWriter("UploadFileInfo", [&] {
        const std::string reply =
            IWebInteractive::UploadFileInfo(arguments.Get("--url").c_str(), *chosen);
        std::printf("\nreply: %s\n", reply.c_str());
        return !reply.empty();
    });
}

int RunSysInfoUpload(const Arguments& arguments) {
    if (!InitWithConfig(arguments)) return kExitFailure;
    const int result = IWebInteractive::UpdateSysInfo();
    std::printf("\nUpdateSysInfo: %d\n", result);
    return result == 1 ? kExitOk : kExitFailure;
}

int RunSoftFileUpload(const Arguments& arguments) {
    const std::string second = arguments.Has("--second") ? arguments.Get("--second") : "";
    const int result = IWebInteractive::UploadSoftFiles(
        arguments.Get("--url").c_str(), arguments.Get("--first").c_str(), second.c_str(),
        arguments.Get("--file").c_str());
    std::printf("\nUploadSoftFiles: %d\n", result);
    return result == 1 ? kExitOk : kExitFailure;
}

}  // namespace cli
