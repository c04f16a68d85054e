// The library's Chinese texts are written in its sources as UTF-8; this turns one into the
// narrow code page. Where the code page cannot hold the text, the UTF-8 text is kept, so a
// message never goes missing.
#pragma once

#include <string>

namespace wi::inc {

std::string NarrowFromUtf8(const std::string& utf8);

// The text with every byte that begins no character of the narrow code page replaced by '?'
// (the default character of the Windows conversion), so that one bad byte in a value neither
// stops a document nor takes the rest of the value with it. A valid text comes back unchanged.
std::string ValidNarrowText(const std::string& text);

}  // namespace wi::inc
