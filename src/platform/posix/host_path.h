// Windows paths of the emulated machine mapped onto host paths.
#pragma once

#include <string>

namespace wi::platform::posix {

// Maps "D:\dir\file" onto "<prefix>/dosdevices/d:/dir/file", and a path without a drive ("dir\x",
// "\x") onto drive C:, the machine's current directory: never onto the host process's working
// directory. The drive letter is case-insensitive, names keep their case, "." is dropped and ".."
// never climbs above the drive root, so no Windows path maps outside the machine. A network path
// and a drive without a dosdevices entry cannot be mapped: false, with LastError() ENOENT.
bool ToHostPath(const std::string& windowsPath, std::string& hostPath);

// "<prefix>/dosdevices/<letter>:" for the letter in either case; "" for a non-letter or when
// there is no prefix.
std::string DriveEntryPath(char letter);

}  // namespace wi::platform::posix
