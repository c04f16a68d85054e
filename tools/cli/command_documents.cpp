// webinteractive softlist create|upload, installinfo upload, sysinfo upload, softfile upload:
// the software list and install info documents of the records a document holds, the system
// information document, and one software file, each posted to the service.
#include <cstdio>
#include <list>
#include <set>
#include <string>

#include "command.h"
#include "command_input.h"
#include "failure_cause.h"
#include "record_commands.h"
#include "report.h"
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
            Fail("no software list document could be made of %s",
                 arguments.Get("--list").c_str());
            return false;
        }
        Result()["document"] = json::Text(text);
        Print("%s%s", text.c_str(), text.back() != '\n' ? "\n" : "");
        return std::fflush(ResultStream()) == 0;
    });
}

int RunSoftListUpload(const Arguments& arguments) {
    std::list<_SoftInfo> softs;
    if (!ReadRecords(arguments, softs)) return kExitFailure;
    return RunWriter("UploadSoftList", [&] {
        const int result =
            IWebInteractive::UploadSoftList(arguments.Get("--url").c_str(), SoftIds(softs));
        Print("UploadSoftList: %d\n", result);
        Result()["result"] = result;
        const bool accepted = CheckUploadAnswer(arguments.Get("--url")) && result == 1;
        if (!accepted) {
            Fail("the service did not accept the software list at %s",
                 arguments.Get("--url").c_str());
        }
        return accepted;
    });
}

int RunInstallInfoUpload(const Arguments& arguments) {
    std::list<_SoftInfo> softs;
    if (!ReadRecords(arguments, softs)) return kExitFailure;
    const _SoftInfo* chosen = ChooseRecord(arguments, softs);
    if (chosen == nullptr) return kExitFailure;
    return RunWriter("UploadFileInfo", [&] {
        const std::string reply =
            IWebInteractive::UploadFileInfo(arguments.Get("--url").c_str(), *chosen);
        Print("reply: %s\n", reply.c_str());
        Result()["reply"] = json::Text(reply);
        const bool accepted = CheckUploadAnswer(arguments.Get("--url")) && !reply.empty();
        if (!accepted) {
            Fail("the service gave no reply to the install info at %s",
                 arguments.Get("--url").c_str());
        }
        return accepted;
    });
}

int RunSysInfoUpload(const Arguments& arguments) {
    if (!InitWithConfig(arguments)) return kExitFailure;
    const int result = IWebInteractive::UpdateSysInfo();
    Print("UpdateSysInfo: %d\n", result);
    Result()["result"] = result;
    const bool accepted = CheckUploadAnswer(IHostInc::GetConfigValue("UpSysUrl")) && result == 1;
    if (!accepted) {
        Fail("the system information was not accepted at UpSysUrl %s",
             IHostInc::GetConfigValue("UpSysUrl"));
    }
    return accepted ? kExitOk : kExitFailure;
}

int RunSoftFileUpload(const Arguments& arguments) {
    const std::string second = arguments.Has("--second") ? arguments.Get("--second") : "";
    const int result = IWebInteractive::UploadSoftFiles(
        arguments.Get("--url").c_str(), arguments.Get("--first").c_str(), second.c_str(),
        arguments.Get("--file").c_str());
    Print("UploadSoftFiles: %d\n", result);
    Result()["result"] = result;
    const bool accepted = CheckUploadAnswer(arguments.Get("--url")) && result == 1;
    if (!accepted) {
        Fail("%s was not uploaded to %s: check that the file exists on the machine and that "
             "--first names it", arguments.Get("--file").c_str(), arguments.Get("--url").c_str());
    }
    return accepted ? kExitOk : kExitFailure;
}

}  // namespace cli
