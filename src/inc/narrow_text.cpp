#include "inc/narrow_text.h"

#include "platform/codepage.h"

namespace wi::inc {

std::string NarrowFromUtf8(const std::string& utf8) {
    std::string narrow;
    if (!wi::platform::Utf8ToNarrow(utf8, narrow)) return utf8;
    return narrow;
}

}  // namespace wi::inc
