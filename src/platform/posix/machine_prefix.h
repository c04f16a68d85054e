// The folder of the emulated machine: where it is, and its creation or completion on first use.
#pragma once

#include <string>

namespace wi::platform::posix {

// The machine prefix (absolute), created when new or completed when older; "" when no prefix
// can be named (no WEBINTERACTIVE_PREFIX and no home directory).
std::string PreparedMachinePrefix();

// The Windows path of a special folder ("C:\windows" for 36); false for an unknown id.
bool SpecialFolderWindowsPath(int id, std::string& windowsPath);

// Creates the host directory and every missing parent; true when it exists afterwards.
bool MakeHostDirectories(const std::string& hostPath);

}  // namespace wi::platform::posix
