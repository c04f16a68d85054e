// Conversions between the narrow code page and Unicode. Each returns false, with the output
// emptied, when the input holds a sequence that is not valid in its encoding.
#pragma once

#include <string>

namespace wi::platform {

// The narrow code page's name, as iconv knows it ("UTF-8", "GB2312", ...).
const std::string& NarrowCodeset();

bool NarrowToUtf8(const std::string& narrow, std::string& utf8);
bool Utf8ToNarrow(const std::string& utf8, std::string& narrow);
bool NarrowToUtf16(const std::string& narrow, std::u16string& utf16);
bool Utf16ToNarrow(const std::u16string& utf16, std::string& narrow);
// Between two named encodings.
bool ConvertEncoding(const std::string& fromCodeset, const std::string& toCodeset,
                     const std::string& input, std::string& output);

}  // namespace wi::platform
