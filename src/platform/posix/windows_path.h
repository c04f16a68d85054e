// Windows paths taken apart: the drive and the names below it, normalised the way Windows
// normalises them. Pure text work, shared by the host path mapping and the cmd program.
#pragma once

#include <string>
#include <vector>

namespace wi::platform::posix {

struct WindowsPath {
    // Lower-case drive letter, or 0 for a path relative to the current directory.
    char drive = 0;
    // The names below the drive (or the current directory): no "." and no "..".
    std::vector<std::string> names;
};

// Splits "D:\a\..\b" (backslashes or slashes) into drive 'd' and names {"b"}, by character of
// the narrow code page (0x5C as the trail byte of a double-byte character separates nothing).
// "." is dropped and ".." removes the name before it but never climbs above the drive root or the
// current directory: "D:\..\x" is "D:\x". False for what names no place on a drive: an empty
// text, a network path ("\\server\share"), a path rooted on no drive ("\x"), a text holding a NUL,
// a name holding a colon (Windows names hold none; "a\D:b" would otherwise read as a path on
// D:), and a name ending in a lone lead byte that the "\" written after it would complete (in
// GBK, "a" 0xBC "/b" would read back as the one name "a" 0xBC "\b").
bool ParseWindowsPath(const std::string& text, WindowsPath& path);

// The normalised text: "D:\a\b", "D:\" for a drive root, "a\b" or "." when relative.
std::string FormatWindowsPath(const WindowsPath& path);

}  // namespace wi::platform::posix
