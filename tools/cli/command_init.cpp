// webinteractive init --config FILE: Init with a configuration document, and its values.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "command.h"
#include "webinteractive/webinteractive.h"

namespace cli {

int RunInit(const Arguments& arguments) {
    const std::string& path = arguments.Get("--config");
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        std::fprintf(stderr, "webinteractive: cannot read %s\n", path.c_str());
        return kExitFailure;
    }
    const int result = IWebInteractive::Init(text.c_str());
    std::printf("Init: %d\n", result);
    for (const char* key : {"UpUserUrl", "ReadUserUrl", "UpSysUrl", "MachineNum",
                            "DownSysPatchsUrl"}) {
        std::printf("%s: %s\n", key, IHostInc::GetConfigValue(key));
    }
    return result == 1 ? kExitOk : kExitFailure;
}

}  // namespace cli
