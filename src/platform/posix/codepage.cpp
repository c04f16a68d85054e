// Code page conversions through iconv. The narrow code page is the codeset of the process's
// LC_CTYPE locale; the C/POSIX locale counts as UTF-8, as nothing useful is ASCII-only.
#include "platform/codepage.h"

#include <cerrno>
#include <cstring>
#include <cwchar>
#include <iconv.h>
#include <langinfo.h>

#include "platform/errors.h"

namespace wi::platform {

namespace {

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
const char* const kUtf16 = "UTF-16BE";
#else
const char* const kUtf16 = "UTF-16LE";
#endif

// Resizes the buffer to exactly `units` code units, keeping its first `kept`. (The string's own
// growth would at least double its capacity, whatever is asked for.)
template <typename Text>
void ResizeExactly(Text& buffer, std::size_t units, std::size_t kept) {
    Text resized;
    resized.reserve(units);
    resized.assign(buffer.data(), kept);
    resized.resize(units);
    buffer.swap(resized);
}

// Converts the bytes into code units of the target encoding (char, or char16_t for UTF-16);
// false on an unknown codeset or an invalid or truncated input sequence. The result starts at
// about the input's size and, whenever iconv runs out of room, grows by what the rest of the
// input will likely need at the rate of output per input byte so far: a conversion costs little
// more than its input and its result.
template <typename Text>
bool Iconv(const char* from, const char* to, const char* input, std::size_t size, Text& output) {
    constexpr std::size_t kUnit = sizeof(typename Text::value_type);
    constexpr std::size_t kSlack = 64;  // bytes: a shift sequence, a short text that grows
    output.clear();
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        SetLastError(errno);
        return false;
    }
    Text result;
    ResizeExactly(result, (size + kSlack) / kUnit, 0);
    char* in = const_cast<char*>(input);
    std::size_t inLeft = size;
    std::size_t used = 0;  // bytes written
    bool ok = true;
    for (bool flushing = false;;) {
        const std::size_t room = result.size() * kUnit;
        char* out = reinterpret_cast<char*>(&result[0]) + used;
        std::size_t outLeft = room - used;
        std::size_t rc = flushing ? iconv(cd, nullptr, nullptr, &out, &outLeft)
                                  : iconv(cd, &in, &inLeft, &out, &outLeft);
        int error = errno;
        used = room - outLeft;
        if (rc != static_cast<std::size_t>(-1)) {
            if (flushing) break;
            flushing = true;  // write the closing shift sequence of stateful encodings
            continue;
        }
        if (error == E2BIG) {
            const std::size_t consumed = size - inLeft;
            const double perByte = consumed ? static_cast<double>(used) / consumed : 1.0;
            const std::size_t more =
                static_cast<std::size_t>(perByte * static_cast<double>(inLeft)) + inLeft / 16 +
                kSlack;
            ResizeExactly(result, (room + more) / kUnit, (used + kUnit - 1) / kUnit);
            continue;
        }
        SetLastError(error);  // EILSEQ: invalid sequence; EINVAL: truncated at the end
        ok = false;
        break;
    }
    iconv_close(cd);
    if (!ok) return false;
    result.resize(used / kUnit);
    output.swap(result);
    return true;
}

}  // namespace

const std::string& NarrowCodeset() {
    // Looked up each time, as the host may change its locale; one copy per thread.
    thread_local std::string codeset;
    const char* name = nl_langinfo(CODESET);
    if (!name || !*name || std::strcmp(name, "ANSI_X3.4-1968") == 0 ||
        std::strcmp(name, "ASCII") == 0) {
        name = "UTF-8";
    }
    codeset = name;
    return codeset;
}

std::size_t NarrowCharLength(const std::string& text, std::size_t position) {
    if (position >= text.size()) return 0;
    // In every narrow code page an ASCII byte where a character begins is a character of its
    // own; only the bytes after a lead byte may fall in the ASCII range.
    if (static_cast<unsigned char>(text[position]) < 0x80) return 1;
    std::mbstate_t state{};
    const std::size_t left = text.size() - position;
    const std::size_t length = std::mbrlen(text.data() + position, left, &state);
    // (size_t)-1: no valid character begins here; (size_t)-2: cut off by the end of the text.
    return length == 0 || length > left ? 1 : length;
}

bool ConvertEncoding(const std::string& fromCodeset, const std::string& toCodeset,
                     const std::string& input, std::string& output) {
    return Iconv(fromCodeset.c_str(), toCodeset.c_str(), input.data(), input.size(), output);
}

bool NarrowToUtf8(const std::string& narrow, std::string& utf8) {
    return ConvertEncoding(NarrowCodeset(), "UTF-8", narrow, utf8);
}

bool Utf8ToNarrow(const std::string& utf8, std::string& narrow) {
    return ConvertEncoding("UTF-8", NarrowCodeset(), utf8, narrow);
}

bool NarrowToUtf16(const std::string& narrow, std::u16string& utf16) {
    return Iconv(NarrowCodeset().c_str(), kUtf16, narrow.data(), narrow.size(), utf16);
}

bool Utf16ToNarrow(const std::u16string& utf16, std::string& narrow) {
    return Iconv(kUtf16, NarrowCodeset().c_str(), reinterpret_cast<const char*>(utf16.data()),
                 utf16.size() * 2, narrow);
}

}  // namespace wi::platform
