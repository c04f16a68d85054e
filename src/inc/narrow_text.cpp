#include "inc/narrow_text.h"

#include "platform/codepage.h"

namespace wi::inc {

namespace {

// No narrow code page the library meets (GBK, GB18030, UTF-8) has characters longer than this.
constexpr std::size_t kMaxNarrowCharBytes = 4;

bool IsValidNarrow(const std::string& text) {
    std::string utf8;
    return wi::platform::NarrowToUtf8(text, utf8);
}

// The length of the narrow character that begins at `at`, or 0 when none does: an ASCII byte
// where a character begins is one on its own, any other character is the shortest run of bytes
// that converts. (The C library's character functions do not serve: in the C locale they know
// no multibyte characters, while the narrow code page is UTF-8 there.)
std::size_t ValidCharLength(const std::string& text, std::size_t at) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {
        return 1;
    }
    for (std::size_t length = 1; length <= kMaxNarrowCharBytes && at + length <= text.size();
         ++length) {
        if (IsValidNarrow(text.substr(at, length))) {
            return length;
        }
    }
    return 0;
}

}  // namespace

std::string NarrowFromUtf8(const std::string& utf8) {
    std::string narrow;
    if (!wi::platform::Utf8ToNarrow(utf8, narrow)) return utf8;
    return narrow;
}

std::string ValidNarrowText(const std::string& text) {
    if (IsValidNarrow(text)) {
        return text;
    }
    std::string valid;
    valid.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = ValidCharLength(text, at);
        if (length == 0) {
            valid += '?';
            ++at;
        } else {
            valid.append(text, at, length);
            at += length;
        }
    }
    return valid;
}

}  // namespace wi::inc
