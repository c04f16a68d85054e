#include "frame/config.h"

namespace wi::frame {

const char* const kConfigKeys[5] = {"UpUserUrl", "ReadUserUrl", "UpSysUrl", "MachineNum",
                                    "DownSysPatchsUrl"};

Configuration& Config() {
    static Configuration configuration;
    return configuration;
}

std::string* ConfigValue(Configuration& configuration, const std::string& key) {
    std::string* const values[5] = {&configuration.upUserUrl, &configuration.readUserUrl,
                                    &configuration.upSysUrl, &configuration.machineNum,
                                    &configuration.downSysPatchsUrl};
    for (int i = 0; i < 5; ++i) {
        if (key == kConfigKeys[i]) return values[i];
    }
    return nullptr;
}

}  // namespace wi::frame
