#include <windows.h>

#include "support/registry_probe.h"

namespace wi::test {

bool ReadRegistryText(const std::string& key, const std::string& name, std::string& data) {
    const std::size_t slash = key.find('\\');
    const std::string rootName = key.substr(0, slash);
    const std::string subkey = slash == std::string::npos ? "" : key.substr(slash + 1);
    HKEY root = rootName == "HKEY_LOCAL_MACHINE"    ? HKEY_LOCAL_MACHINE
                : rootName == "HKEY_CLASSES_ROOT"   ? HKEY_CLASSES_ROOT
                : rootName == "HKEY_USERS"          ? HKEY_USERS
                : rootName == "HKEY_CURRENT_CONFIG" ? HKEY_CURRENT_CONFIG
                                                    : HKEY_CURRENT_USER;
    char buffer[4096];
    DWORD type = 0;
    DWORD size = sizeof buffer;
    if (RegGetValueA(root, subkey.c_str(), name.c_str(),
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_RT_REG_DWORD | RRF_NOEXPAND, &type,
                     buffer, &size) != ERROR_SUCCESS) {
        return false;
    }
    if (type == REG_DWORD) {
        DWORD number = 0;
        memcpy(&number, buffer, sizeof number);
        data = std::to_string(number);
    } else {
        data = buffer;
    }
    return true;
}

}  // namespace wi::test
