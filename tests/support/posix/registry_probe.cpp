#include "support/registry_probe.h"

#include <vector>

#include "platform/registry.h"

namespace wi::test {

bool ReadRegistryText(const std::string& key, const std::string& name, std::string& data) {
    std::vector<platform::RegistryValue> values;
    if (!platform::ListRegistryValues(values)) return false;
    for (const platform::RegistryValue& value : values) {
        if (value.key == key && value.name == name) {
            data = value.data;
            return true;
        }
    }
    return false;
}

}  // namespace wi::test
