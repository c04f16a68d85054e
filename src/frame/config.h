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

// A copy of the process's configuration; all values empty until Init read a document. Init
// may run on another thread meanwhile: readers get the values before or after it, never a mix
// of freed and new text.
Configuration Config();
// Replaces the process's configuration (Init does this).
void SetConfig(const Configuration& configuration);

// The value held for a document key ("UpUserUrl", ...); null for any other name.
std::string* ConfigValue(Configuration& configuration, const std::string& key);

// Reads the five values from a configuration document ("<Logs>" with one child per key) and
// makes them the process's configuration: values missing from it are emptied. Answers 1 when
// the document held all five (or its root is not "Logs"), 0 when one is missing or the text is
// no document.
int LoadConfiguration(const char* configText);

// The document keys, in the order Init reads them.
extern const char* const kConfigKeys[5];

}  // namespace wi::frame
