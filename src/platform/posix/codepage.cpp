// Code page conversions through iconv. The narrow code page is the codeset of the process's
// LC_CTYPE locale; the C/POSIX locale counts as UTF-8, as nothing useful is ASCII-only.
#include "platform/codepage.h"

#include <cerrno>
#include <cstring>
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

// Converts the bytes; false on an unknown codeset or an invalid or truncated input sequence.
bool Iconv(const char* from, const char* to, const char* input, std::size_t size,
           std::string& output) {
    output.clear();
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        SetLastError(errno);
        return false;
    }
    std::string result(size * 4 + 16, '\0');
    char* in = const_cast<char*>(input);
    std::size_t inLeft = size;
    std::size_t used = 0;
    bool ok = true;
    for (bool flushing = false;;) {
        char* out = &result[used];
        std::size_t outLeft = result.size() - used;
        std::size_t rc = flushing ? iconv(cd, nullptr, nullptr, &out, &outLeft)
                                  : iconv(cd, &in, &inLeft, &out, &outLeft);
        int error = errno;
        used = result.size() - outLeft;
        if (rc != static_cast<std::size_t>(-1)) {
            if (flushing) break;
            flushing = true;  // write the closing shift sequence of stateful encodings
            continue;
        }
        if (error == E2BIG) {
            result.resize(result.size() * 2);
            continue;
        }
        SetLastError(error);  // EILSEQ: invalid sequence; EINVAL: truncated at the end
        ok = false;
        break;
    }
    iconv_close(cd);
    if (!ok) return false;
    result.resize(used);
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
    utf16.clear();
    std::string bytes;
    if (!Iconv(NarrowCodeset().c_str(), kUtf16, narrow.data(), narrow.size(), bytes)) return false;
    utf16.resize(bytes.size() / 2);
    std::memcpy(&utf16[0], bytes.data(), utf16.size() * 2);
    return true;
}

bool Utf16ToNarrow(const std::u16string& utf16, std::string& narrow) {
    return Iconv(kUtf16, NarrowCodeset().c_str(), reinterpret_cast<const char*>(utf16.data()),
                 utf16.size() * 2, narrow);
}

}  // namespace wi::platform
