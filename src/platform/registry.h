// The system registry: values under keys ("HKEY_LOCAL_MACHINE\Software\Vendor"), each with a
// name, a type number and its data as text. Keys and names compare without regard to ASCII
// letter case, as in the Windows registry. Texts cross this interface in the narrow code page.
//
// On posix the registry is a store file of the machine prefix (platform/posix/registry_store.h
// describes its format); every change rereads it under the machine-wide lock and rewrites it
// atomically, so changes of several processes are all kept and a reader sees the old or the new
// store, never a mix.
#pragma once

#include <string>
#include <vector>

namespace wi::platform {

struct RegistryValue {
    std::string key;   // the full key path
    std::string name;  // the value's name; empty for the key's default value
    int type = 0;      // the value type, kept as given
    std::string data;  // the value as text
};

// Sets the value, creating its key, and replaces any value of that name under that key. False,
// changing nothing, when the key is empty or holds a control character, a text is not valid in
// the narrow code page, the store cannot be read or written, or (posix) the store would grow
// past the size its reader accepts.
bool SetRegistryValue(const RegistryValue& value);
// Removes the value; true also when there was none. False when the store cannot be read or
// written (the store is left as it was).
bool DeleteRegistryValue(const std::string& key, const std::string& name);
// Every value of the store, in store order; false when the store cannot be read. A store that
// does not exist yet holds no values. Where a damaged store names a value twice, the first
// counts. A byte the narrow code page cannot show becomes '?'.
bool ListRegistryValues(std::vector<RegistryValue>& values);

}  // namespace wi::platform
