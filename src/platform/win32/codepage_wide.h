// Narrow text in the ANSI code page to and from the wide (UTF-16) text of the Win32 calls.
#pragma once

#include <cstddef>
#include <string>

namespace wi::platform::win32 {

// The narrow text as wide text; false, with the output emptied, when it is not valid in the ANSI
// code page.
bool NarrowToWide(const std::string& narrow, std::wstring& wide);
// The wide text in the ANSI code page, every character the code page cannot hold (an unpaired
// surrogate too) becoming '?'.
std::string WideToNarrowReplacing(const wchar_t* wide, std::size_t length);
inline std::string WideToNarrowReplacing(const std::wstring& wide) {
    return WideToNarrowReplacing(wide.data(), wide.size());
}

}  // namespace wi::platform::win32
