// webinteractive init --config FILE: Init with a configuration document, and its values.
#include <cstdio>
#include <string>

#include "command_input.h"
#include "webinteractive/webinteractive.h"

namespace cli {

int RunInit(const Arguments& arguments) {
    std::string text;
    if (!ReadOptionFile(arguments, "--config", text)) return kExitFailure;
    const int result = IWebInteractive::Init(text.c_str());
    std::printf("Init: %d\n", result);
    for (const char* key : {"UpUserUrl", "ReadUserUrl", "UpSysUrl", "MachineNum",
                            "DownSysPatchsUrl"}) {
        std::printf("%s: %s\n", key, IHostInc::GetConfigValue(key));
    }
    return result == 1 ? kExitOk : kExitFailure;
}

}  // namespace cli
