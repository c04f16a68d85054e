// Windows paths of the emulated machine mapped onto host paths.
#pragma once

#include <string>

namespace wi::platform::posix {

// Maps "D:\dir\file" onto "<prefix>/dosdevices/d:/dir/file" and a relative "dir\x" onto "dir/x"
// (relative to the current directory). The drive letter is case-insensitive, names keep their
// case, "." is dropped and ".." never climbs above the drive root or the current directory, so
// no Windows path maps outside its drive. A network path, a path rooted on no drive ("\x") and a
// drive without a dosdevices entry cannot be mapped: false, with LastError() ENOENT.
bool ToHostPath(const std::string& windowsPath, std::string& hostPath);

// "<prefix>/dosdevices/<letter>:" for the letter in either case; "" for a non-letter or when
// there is no prefix.
std::string DriveEntryPath(char letter);

}  // namespace wi::platform::posix
