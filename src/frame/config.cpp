#include "frame/config.h"

#include <mutex>

namespace wi::frame {
namespace {

std::mutex configMutex;

Configuration& StoredConfig() {
    static Configuration configuration;
    return configuration;
}

}  // namespace

const char* const kConfigKeys[5] = {"UpUserUrl", "ReadUserUrl", "UpSysUrl", "MachineNum",
                                    "DownSysPatchsUrl"};

Configuration Config() {
    std::lock_guard<std::mutex> lock(configMutex);
    return StoredConfig();
}

void SetConfig(const Configuration& configuration) {
    std::lock_guard<std::mutex> lock(configMutex);
    StoredConfig() = configuration;
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
