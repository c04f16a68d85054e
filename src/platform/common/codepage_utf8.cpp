#include "platform/common/codepage_utf8.h"

namespace wi::platform {

bool IsAscii(const char* text, std::size_t length) {
    for (std::size_t at = 0; at < length; ++at) {
        if (static_cast<unsigned char>(text[at]) >= 0x80) return false;
    }
    return true;
}

std::size_t Utf8CharLength(const unsigned char* at, const unsigned char* end) {
    const unsigned char lead = *at;
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(end - at) < length || at[1] < low || at[1] > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if ((at[i] & 0xC0) != 0x80) return 0;
    }
    return length;
}

}  // namespace wi::platform
