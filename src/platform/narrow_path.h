// Narrow paths taken apart by character of the narrow code page, never by byte: in a double-byte
// code page such as GBK the bytes of "\" and "|" are also trail bytes (淺 is 9C 5C, 億 is 83 7C),
// and such a byte is part of its character, not a separator. Shared by the host path mapping, the
// cmd program, CXFileOperator's path rules and the directory utilities.
#pragma once

#include <cstddef>
#include <string>

namespace wi::platform {

// The position of the first character at or after `from` that is one of the ASCII `characters`;
// npos when there is none. `from` must be where a character begins (0, or just after a character
// found here).
std::size_t FindNarrowChar(const std::string& text, const char* characters,
                           std::size_t from = 0);

// The position of the last character that is one of the ASCII `characters`; npos when none.
std::size_t FindLastNarrowChar(const std::string& text, const char* characters);

// True when the text's last character (not merely its last byte) is a backslash.
bool EndsWithBackslash(const std::string& text);

}  // namespace wi::platform
