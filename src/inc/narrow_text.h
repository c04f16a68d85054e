// The library's Chinese texts are written in its sources as UTF-8; this turns one into the
// narrow code page. Where the code page cannot hold the text, the UTF-8 text is kept, so a
// message never goes missing.
#pragma once

#include <string>

namespace wi::inc {

std::string NarrowFromUtf8(const std::string& utf8);

}  // namespace wi::inc
