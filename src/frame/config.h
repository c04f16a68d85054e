// The five configuration values that Init reads from the host's configuration document.
#pragma once

#include <string>

namespace wi::frame {

struct Configuration {
    std::string upUserUrl;         // UpUserUrl: user-information upload; empty = not configured
    std::string readUserUrl;       // ReadUserUrl: user-information reading
    std::string upSysUrl;          // UpSysUrl: system-information upload
    std::string machineNum;        // MachineNum: this machine's number
    std::string downSysPatchsUrl;  // DownSysPatchsUrl: kept, used by no operation
};

// The process's configuration; all values empty until Init read a document.
Configuration& Config();

// The value held for a document key ("UpUserUrl", ...); null for any other name.
std::string* ConfigValue(Configuration& configuration, const std::string& key);

// The document keys, in the order Init reads them.
extern const char* const kConfigKeys[5];

}  // namespace wi::frame
