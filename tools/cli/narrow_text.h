// The library's conversions of the narrow code page (IHostInc) for whole strings, which may hold
// NUL bytes: the CLI converts with the code page the library's texts are in, on every platform.
#pragma once

#include <cstddef>
#include <string>

namespace cli {

// `narrow` in UTF-8; false when it holds a sequence the narrow code page does not know.
bool NarrowToUtf8(const std::string& narrow, std::string& utf8);
// `utf8` in the narrow code page; false when it is no UTF-8 or the code page cannot hold it.
bool Utf8ToNarrow(const std::string& utf8, std::string& narrow);
// The byte length of the narrow character at `position` (see IHostInc::NarrowCharLength); 0 at
// or past the end.
std::size_t NarrowCharLength(const std::string& text, std::size_t position);

}  // namespace cli
