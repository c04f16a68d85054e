// Reads one registry value back for a test: from the emulated machine's registry store on posix,
// from the system registry on Windows (which the library does not list).
#pragma once

#include <string>

namespace wi::test {

// The value's data as text (a number in decimal); false when there is no such value.
bool ReadRegistryText(const std::string& key, const std::string& name, std::string& data);

}  // namespace wi::test
