// webinteractive init --config FILE: Init with a configuration document, and its values.
#include <cstdio>
#include <string>

#include "command_input.h"
#include "report.h"
#include "webinteractive/webinteractive.h"

namespace cli {

int RunInit(const Arguments& arguments) {
    std::string text;
    if (!ReadOptionFile(arguments, "--config", text)) return kExitFailure;
    const int result = IWebInteractive::Init(text.c_str());
    Print("Init: %d\n", result);
    Result()["result"] = result;
    json::Value& values = Result()["values"] = json::Value::object();
    for (const char* key : {"UpUserUrl", "ReadUserUrl", "UpSysUrl", "MachineNum",
                            "DownSysPatchsUrl"}) {
        Print("%s: %s\n", key, IHostInc::GetConfigValue(key));
        values[key] = json::Text(IHostInc::GetConfigValue(key));
    }
    if (result != 1) FailConfiguration(arguments, text);
    return result == 1 ? kExitOk : kExitFailure;
}

}  // namespace cli
