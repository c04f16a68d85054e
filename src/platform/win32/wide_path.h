// Narrow paths of the ANSI code page for the wide (UTF-16) file calls, and wide names back.
#pragma once

#include <string>

namespace wi::platform::win32 {

// The path in UTF-16; false, with the last error set, for a text that holds a NUL or a byte
// sequence the code page does not know.
bool ToWidePath(const std::string& narrow, std::wstring& wide);

// A name from a wide call in the narrow code page. A character the code page cannot hold becomes
// '?', as the narrow system calls give it.
std::string ToNarrowName(const std::wstring& wide);

}  // namespace wi::platform::win32
