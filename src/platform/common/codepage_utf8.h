// Byte-level checks of narrow and UTF-8 text that both code page backends make before (or
// instead of) asking the system to convert.
#pragma once

#include <cstddef>

namespace wi::platform {

// Whether every byte is ASCII (below 0x80).
bool IsAscii(const char* text, std::size_t length);

// The length of the well-formed UTF-8 character that begins at `at` (before `end`); 0 where none
// does (an overlong form, a surrogate, beyond U+10FFFF, or cut off by the end).
std::size_t Utf8CharLength(const unsigned char* at, const unsigned char* end);

}  // namespace wi::platform
