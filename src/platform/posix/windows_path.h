// Windows paths taken apart: the drive and the names below it, normalised the way Windows
// normalises them. Pure text work, shared by the host path mapping and the cmd program.
#pragma once

#include <string>
#include <vector>

namespace wi::platform::posix {

// The current directory of the emulated machine: the root of drive C:, in every process and for
// the cmd program alike, whatever the host process's own working directory is. Relative paths
// resolve there, so that no Windows path reaches outside the machine.
constexpr char kCurrentDrive = 'c';

struct WindowsPath {
    // Lower-case drive letter ('a' to 'z'); 0 only in a path that failed to parse.
    char drive = 0;
    // The names below the drive root: no "." and no "..".
    std::vector<std::string> names;
};

// Splits "D:\a\..\b" (backslashes or slashes) into drive 'd' and names {"b"}, by character of
// the narrow code page (0x5C as the trail byte of a double-byte character separates nothing).
// "." is dropped and ".." removes the name before it but never climbs above the drive root:
// "D:\..\x" is "D:\x". Paths that name no drive resolve against the machine's current directory
// C:\ as on Windows: "x", ".\x" and "..\x" are "C:\x", "\x" (the root of the current drive) is
// "C:\x", and "D:x" is "D:\x" (each drive's current directory is its root). False for what names
// no place on a drive: an empty text, a network path ("\\server\share"), a text holding a NUL,
// and a name holding a colon (Windows names hold none; "a\D:b" would otherwise read as a path on
// D:).
bool ParseWindowsPath(const std::string& text, WindowsPath& path);

// The normalised text: "D:\a\b", or "D:\" for a drive root.
std::string FormatWindowsPath(const WindowsPath& path);

}  // namespace wi::platform::posix
