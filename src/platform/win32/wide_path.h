// Narrow paths of the ANSI code page for the wide (UTF-16) file calls.
#pragma once

#include <string>

namespace wi::platform::win32 {

// The path in UTF-16; false, with the last error set, for a text that holds a NUL or a byte
// sequence the code page does not know.
bool ToWidePath(const std::string& narrow, std::wstring& wide);

}  // namespace wi::platform::win32
