// webinteractive machine: the machine as the library sees it.
#include <cstdio>

#include "command.h"
#include "webinteractive/webinteractive.h"

namespace cli {

int RunMachine(const Arguments&) {
    std::printf("prefix: %s\n", IHostInc::GetMachinePrefix());
    std::printf("fixed drives: %s\n", IHostInc::GetFixedDrives());
    static const struct {
        int id;
        const char* name;
    } kFolders[] = {{36, "Windows folder"},
                    {37, "system folder"},
                    {45, "common templates"},
                    {46, "common documents"}};
    for (const auto& folder : kFolders) {
        std::printf("folder %d (%s): %s\n", folder.id, folder.name,
                    IHostInc::GetSpecialFolderPath(folder.id));
    }
    std::printf("temporary document: %s\n", IWebInteractive::GetTempXmlFilePath("logTemp"));
    return kExitOk;
}

}  // namespace cli
