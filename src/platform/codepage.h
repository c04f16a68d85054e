// Conversions between the narrow code page and Unicode. Each returns false, with the output
// emptied, when the input holds a sequence that is not valid in its encoding.
#pragma once

#include <cstddef>
#include <string>

namespace wi::platform {

// The narrow code page's name, as iconv knows it ("UTF-8", "GB2312", ...).
const std::string& NarrowCodeset();

// The byte length of the narrow character that begins at `position` (1 for ASCII, 2 for a
// double-byte character of GBK); 1 for a byte that begins no valid character or a character cut
// off by the end of the text, so that a walk always moves on; 0 at or past the end.
std::size_t NarrowCharLength(const std::string& text, std::size_t position);

bool NarrowToUtf8(const std::string& narrow, std::string& utf8);
bool Utf8ToNarrow(const std::string& utf8, std::string& narrow);
// UTF-8 in the narrow code page, every character it cannot hold (and every byte that begins no
// UTF-8 character) becoming '?', the default character of the Windows conversion.
std::string Utf8ToNarrowReplacing(const std::string& utf8);
bool NarrowToUtf16(const std::string& narrow, std::u16string& utf16);
bool Utf16ToNarrow(const std::u16string& utf16, std::string& narrow);
// Between two named encodings.
bool ConvertEncoding(const std::string& fromCodeset, const std::string& toCodeset,
                     const std::string& input, std::string& output);

}  // namespace wi::platform
