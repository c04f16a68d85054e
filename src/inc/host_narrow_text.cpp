// The host extras for the narrow code page the library's texts are in: conversions to and from
// UTF-8 and the walk by character.
#include <algorithm>
#include <string>

#include "platform/codepage.h"
#include "webinteractive/host.h"

namespace {

// No narrow code page has characters longer than this: a character is judged by its bytes alone.
constexpr std::size_t kLongestChar = 8;

}  // namespace

namespace IHostInc {

const char* NarrowToUtf8(const char* narrow) {
    thread_local std::string result;
    if (narrow == nullptr || !wi::platform::NarrowToUtf8(narrow, result)) return nullptr;
    return result.c_str();
}

const char* Utf8ToNarrow(const char* utf8) {
    thread_local std::string result;
    if (utf8 == nullptr || !wi::platform::Utf8ToNarrow(utf8, result)) return nullptr;
    return result.c_str();
}

std::size_t NarrowCharLength(const char* text, std::size_t size) {
    if (text == nullptr || size == 0) return 0;
    return wi::platform::NarrowCharLength(std::string(text, std::min(size, kLongestChar)), 0);
}

}  // namespace IHostInc
