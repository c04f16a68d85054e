// Small text helpers shared by the library's modules.
#pragma once

#include <string>

namespace wi::frame {

// Replaces every occurrence of what, left to right; an empty search text changes nothing.
// Returns the text.
std::string& ReplaceAll(std::string& text, const std::string& what, const std::string& with);
// Erases every occurrence of what; an empty search text changes nothing. Returns the text.
std::string& EraseAll(std::string& text, const std::string& what);

// The format with its first "%s" filled with the value (the library's own texts hold one); a
// format without one comes back unchanged. Unlike printf, the value is never read as a format.
std::string FillIn(const std::string& format, const std::string& value);

// Puts the text into a result buffer that hosts may keep a pointer into, and returns that
// pointer. The buffer keeps its storage whenever the text fits in it, so a pointer kept from an
// earlier call shows the new result; assigning a temporary string would hand the buffer the
// temporary's storage and leave the kept pointer dangling.
inline const char* Refill(std::string& buffer, const std::string& text) {
    buffer.assign(text.data(), text.size());
    return buffer.c_str();
}

// A null argument counts as the empty text.
inline const char* OrEmpty(const char* text) { return text != nullptr ? text : ""; }

}  // namespace wi::frame
