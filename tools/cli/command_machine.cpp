// webinteractive machine: the machine as the library sees it.
#include <cstdio>

#include "command.h"
#include "report.h"
#include "webinteractive/webinteractive.h"

namespace cli {

int RunMachine(const Arguments&) {
    // Windows has no prefix: the library works on the machine's own drives.
    const char* prefix = IHostInc::GetMachinePrefix();
    Print("prefix: %s\n", *prefix != '\0' ? prefix : "none (this machine's own drives)");
    Result()["prefix"] = json::Text(prefix);
    Print("fixed drives: %s\n", IHostInc::GetFixedDrives());
    Result()["fixed_drives"] = json::Text(IHostInc::GetFixedDrives());
    json::Value& folders = Result()["folders"] = json::Value::array();
    static const struct {
        int id;
        const char* name;
    } kFolders[] = {{36, "Windows folder"},
                    {37, "system folder"},
                    {45, "common templates"},
                    {46, "common documents"}};
    for (const auto& folder : kFolders) {
        const std::string path = IHostInc::GetSpecialFolderPath(folder.id);
        Print("folder %d (%s): %s\n", folder.id, folder.name, path.c_str());
        json::Value& entry = folders.emplace_back(json::Value::object());
        entry["id"] = folder.id;
        entry["name"] = json::Text(folder.name);
        entry["path"] = json::Text(path);
    }
    const std::string temporary = IWebInteractive::GetTempXmlFilePath("logTemp");
    Print("temporary document: %s\n", temporary.c_str());
    Result()["temporary_document"] = json::Text(temporary);
    return kExitOk;
}

}  // namespace cli
