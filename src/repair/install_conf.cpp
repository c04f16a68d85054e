// Configuration entries applied to the registry and listed from it.
#include "platform/registry.h"
#include "webinteractive/repair.h"

namespace ISoftRepairInc {

bool InstallConf(const IConfInfoInc::_ConfInfo& entry) {
    if (entry.Action != 1) {
        return wi::platform::DeleteRegistryValue(entry.Source, entry.Key);
    }
    wi::platform::RegistryValue value;
    value.key = entry.Source;
    value.name = entry.Key;
    value.type = entry.Type;
    value.data = entry.Value;
    return wi::platform::SetRegistryValue(value);
}

bool ListInstalledConf(std::list<IConfInfoInc::_ConfInfo>& entries) {
    entries.clear();
    std::vector<wi::platform::RegistryValue> values;
    if (!wi::platform::ListRegistryValues(values)) {
        return false;
    }
    for (const wi::platform::RegistryValue& value : values) {
        IConfInfoInc::_ConfInfo entry;
        entry.Source = value.key;
        entry.Key = value.name;
        entry.Value = value.data;
        entry.Type = value.type;
        entries.push_back(entry);
    }
    return true;
}

}  // namespace ISoftRepairInc
