// Code page conversions through iconv. The narrow code page is the codeset of the process's
// LC_CTYPE locale; the C/POSIX locale counts as UTF-8, as nothing useful is ASCII-only.
#include "platform/codepage.h"

#include <cerrno>
#include <cstring>
#include <cwchar>
#include <iconv.h>
#include <langinfo.h>

#include <vector>

#include "platform/common/codepage_utf8.h"
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

// The descriptors this thread has opened, one per pair of codesets, kept for its later
// conversions: opening one loads and looks up conversion tables, which costs far more than
// converting a value. A few are kept (a document may name any encoding), the oldest closed
// first; the rest are closed when the thread ends.
class Converters {
public:
    Converters() = default;
    Converters(const Converters&) = delete;
    Converters& operator=(const Converters&) = delete;
    ~Converters() {
        for (Entry& entry : entries_) iconv_close(entry.cd);
    }

    // The descriptor in its initial shift state; (iconv_t)-1, with errno set, when iconv knows
    // no conversion between the two.
    iconv_t Get(const char* from, const char* to) {
        for (Entry& entry : entries_) {
            if (entry.from == from && entry.to == to) {
                iconv(entry.cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
                return entry.cd;
            }
        }
        iconv_t cd = iconv_open(to, from);
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            return cd;
        }
        if (entries_.size() == kKept) {
            iconv_close(entries_.front().cd);
            entries_.erase(entries_.begin());
        }
        entries_.push_back(Entry{from, to, cd});
        return cd;
    }

private:
    static constexpr std::size_t kKept = 8;

    struct Entry {
        std::string from;
        std::string to;
        iconv_t cd;
    };
    std::vector<Entry> entries_;
};

iconv_t OpenConverter(const char* from, const char* to) {
    thread_local Converters converters;
    return converters.Get(from, to);
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
    iconv_t cd = OpenConverter(from, to);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        SetLastError(errno);
        return false;
    }
    Text result;
    ResizeExactly(result, (size + kSlack) / kUnit, 0);
    char* in = const_cast<char*>(input);
    std::size_t inLeft = size;
    std::size_t used = 0;  // bytes written
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
        return false;
    }
    result.resize(used / kUnit);
    output.swap(result);
    return true;
}

// Whether the codeset writes every ASCII character (NUL included) as that one byte, so that a
// pure-ASCII text is the same in it as in UTF-8 (not so for UTF-7, UTF-16 or EBCDIC). Found by
// converting the ASCII characters once per codeset and thread.
bool KeepsAscii(const std::string& codeset) {
    struct Known {
        std::string codeset;
        bool keeps;
    };
    thread_local std::vector<Known> known;
    for (const Known& entry : known) {
        if (entry.codeset == codeset) return entry.keeps;
    }
    std::string ascii(0x80, '\0');
    for (std::size_t code = 0; code < ascii.size(); ++code) ascii[code] = static_cast<char>(code);
    std::string converted;
    const bool keeps = Iconv("UTF-8", codeset.c_str(), ascii.data(), ascii.size(), converted) &&
                       converted == ascii;
    known.push_back(Known{codeset, keeps});
    return keeps;
}

// Whether the text is well-formed UTF-8 as iconv reads it: no overlong forms, no surrogates,
// nothing beyond U+10FFFF, no sequence cut off.
bool IsValidUtf8(const std::string& text) {
    const auto* at = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* const end = at + text.size();
    while (at < end) {
        const std::size_t length = Utf8CharLength(at, end);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

// Whether the text reads the same in UTF-8 and in the narrow code page, so that a conversion
// between them may copy it: a pure-ASCII text, the common case, where the code page keeps ASCII;
// or any well-formed UTF-8 text where the code page is UTF-8 itself (large documents with
// Chinese names then cost a check instead of a conversion).
bool SameInUtf8(const std::string& text, const std::string& narrowCodeset) {
    if (IsAscii(text.data(), text.size())) return KeepsAscii(narrowCodeset);
    return narrowCodeset == "UTF-8" && IsValidUtf8(text);
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
    if (NarrowCodeset() == "UTF-8") {
        // Also in the C locale, which the conversions take as UTF-8 and the C library as ASCII.
        const auto* begin = reinterpret_cast<const unsigned char*>(text.data());
        const std::size_t length = Utf8CharLength(begin + position, begin + text.size());
        return length == 0 ? 1 : length;
    }
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
    const std::string& codeset = NarrowCodeset();
    if (SameInUtf8(narrow, codeset)) {
        utf8 = narrow;
        return true;
    }
    return ConvertEncoding(codeset, "UTF-8", narrow, utf8);
}

bool Utf8ToNarrow(const std::string& utf8, std::string& narrow) {
    const std::string& codeset = NarrowCodeset();
    if (SameInUtf8(utf8, codeset)) {
        narrow = utf8;
        return true;
    }
    return ConvertEncoding("UTF-8", codeset, utf8, narrow);
}

std::string Utf8ToNarrowReplacing(const std::string& utf8) {
    std::string narrow;
    if (Utf8ToNarrow(utf8, narrow)) {
        return narrow;
    }
    narrow.clear();
    for (std::size_t at = 0; at < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[at]);
        const std::size_t length = lead < 0x80            ? 1
                                   : (lead & 0xE0) == 0xC0 ? 2
                                   : (lead & 0xF0) == 0xE0 ? 3
                                   : (lead & 0xF8) == 0xF0 ? 4
                                                           : 1;
        std::string one;
        narrow += Utf8ToNarrow(utf8.substr(at, length), one) ? one : "?";
        at += length;
    }
    return narrow;
}

bool NarrowToUtf16(const std::string& narrow, std::u16string& utf16) {
    return Iconv(NarrowCodeset().c_str(), kUtf16, narrow.data(), narrow.size(), utf16);
}

bool Utf16ToNarrow(const std::u16string& utf16, std::string& narrow) {
    return Iconv(kUtf16, NarrowCodeset().c_str(), reinterpret_cast<const char*>(utf16.data()),
                 utf16.size() * 2, narrow);
}

}  // namespace wi::platform
