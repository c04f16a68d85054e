// Code page conversions through MultiByteToWideChar and WideCharToMultiByte. The narrow code page
// is the process's ANSI code page (CP_ACP), looked up at each call as the system knows it.
#include "platform/win32/windows_api.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/codepage.h"
#include "platform/common/codepage_utf8.h"
#include "platform/errors.h"
#include "platform/win32/codepage_wide.h"

namespace wi::platform {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide text is UTF-16");

constexpr UINT kUtf16Le = 1200;  // not a code page of the conversion calls: converted by copying

// The few code pages that refuse every flag of the conversion calls.
bool RefusesFlags(UINT codePage) {
    return codePage == 42 || (codePage >= 50220 && codePage <= 50229) ||
           (codePage >= 57002 && codePage <= 57011) || codePage == 65000;
}

// A length the conversion calls can take; the texts of this library are far below it.
bool FitsCall(std::size_t length) {
    if (length <= static_cast<std::size_t>(INT_MAX)) return true;
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

// The bytes in the code page as UTF-16; false on a byte sequence that is not valid in it.
bool ToWide(UINT codePage, const char* bytes, std::size_t length, std::wstring& wide) {
    wide.clear();
    if (length == 0) return true;
    if (!FitsCall(length)) return false;
    const DWORD flags = RefusesFlags(codePage) ? 0 : MB_ERR_INVALID_CHARS;
    const int size = static_cast<int>(length);
    const int units = MultiByteToWideChar(codePage, flags, bytes, size, nullptr, 0);
    if (units <= 0) return false;
    std::wstring result(static_cast<std::size_t>(units), L'\0');
    if (MultiByteToWideChar(codePage, flags, bytes, size, &result[0], units) != units) {
        return false;
    }
    wide.swap(result);
    return true;
}

// The UTF-16 text in the code page. Strict: false when a character has no form in the code page
// (no best-fit look-alike is taken) or is an unpaired surrogate. Replacing: such characters
// become '?'.
bool FromWide(UINT codePage, const wchar_t* wide, std::size_t length, bool replacing,
              std::string& bytes) {
    bytes.clear();
    if (length == 0) return true;
    if (!FitsCall(length)) return false;
    const int size = static_cast<int>(length);
    // UTF-8 and UTF-7 take no default character; UTF-8 holds every character but surrogates.
    const bool utf = codePage == CP_UTF8 || codePage == CP_UTF7;
    DWORD flags = 0;
    if (codePage == CP_UTF8) {
        flags = replacing ? 0 : WC_ERR_INVALID_CHARS;
    } else if (!RefusesFlags(codePage)) {
        flags = WC_NO_BEST_FIT_CHARS;
    }
    const char* defaultChar = utf ? nullptr : "?";
    BOOL usedDefault = FALSE;
    BOOL* const checkDefault = utf || replacing ? nullptr : &usedDefault;
    const int count =
        WideCharToMultiByte(codePage, flags, wide, size, nullptr, 0, defaultChar, checkDefault);
    if (count <= 0 || usedDefault) {
        if (usedDefault) SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return false;
    }
    std::string result(static_cast<std::size_t>(count), '\0');
    if (WideCharToMultiByte(codePage, flags, wide, size, &result[0], count, defaultChar,
                            checkDefault) != count) {
        return false;
    }
    bytes.swap(result);
    return true;
}

// The code page of an encoding name as iconv and XML declarations spell it: "UTF-8",
// "UTF-16LE", "GB2312", "GBK", "CP936", "windows-1252", "ISO-8859-1", ...; 0 when unknown.
UINT CodePageOf(const std::string& name) {
    std::string upper;
    for (char c : name) {
        upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    struct Named {
        const char* name;
        UINT codePage;
    };
    static const Named kNamed[] = {
        {"UTF-8", CP_UTF8},   {"UTF8", CP_UTF8},      {"UTF-16LE", kUtf16Le},
        {"GB2312", 936},      {"GBK", 936},           {"EUC-CN", 936},
        {"GB18030", 54936},   {"BIG5", 950},          {"SHIFT_JIS", 932},
        {"EUC-KR", 949},      {"US-ASCII", 20127},    {"ASCII", 20127},
        {"ISO-8859-1", 28591}, {"LATIN1", 28591},     {"KOI8-R", 20866},
        {"UTF-7", CP_UTF7},
    };
    for (const Named& named : kNamed) {
        if (upper == named.name) return named.codePage;
    }
    // "CP936", "WINDOWS-1252", "ISO-8859-5" and the like, by number.
    const char* const prefixes[] = {"CP", "WINDOWS-", "ISO-8859-"};
    const UINT bases[] = {0, 0, 28590};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t prefix = std::strlen(prefixes[i]);
        if (upper.compare(0, prefix, prefixes[i]) != 0 || upper.size() == prefix ||
            upper.size() > prefix + 5) {
            continue;
        }
        UINT number = 0;
        for (std::size_t at = prefix; at < upper.size(); ++at) {
            if (upper[at] < '0' || upper[at] > '9') return 0;
            number = number * 10 + static_cast<UINT>(upper[at] - '0');
        }
        const UINT codePage = bases[i] + number;
        return number != 0 && IsValidCodePage(codePage) ? codePage : 0;
    }
    return 0;
}

// The text from one code page into the other, one of them the ANSI code page and the other
// UTF-8. ASCII text reads the same in both, and so does any text the first accepts when the two
// are one (an ANSI code page of UTF-8): both are copied.
bool Recode(UINT from, UINT to, const std::string& input, std::string& output) {
    if (IsAscii(input.data(), input.size())) {
        output = input;
        return true;
    }
    std::wstring wide;
    if (!ToWide(from, input.data(), input.size(), wide)) {
        output.clear();
        return false;
    }
    if (from == to) {
        output = input;
        return true;
    }
    return FromWide(to, wide.data(), wide.size(), false, output);
}

}  // namespace

const std::string& NarrowCodeset() {
    thread_local std::string codeset;
    const UINT acp = GetACP();
    codeset = acp == CP_UTF8 ? std::string("UTF-8") : "CP" + std::to_string(acp);
    return codeset;
}

std::size_t NarrowCharLength(const std::string& text, std::size_t position) {
    if (position >= text.size()) return 0;
    // In every ANSI code page an ASCII byte where a character begins is a character of its own;
    // only the bytes after a lead byte may fall in the ASCII range (0x5C in code page 936).
    if (static_cast<unsigned char>(text[position]) < 0x80) return 1;
    const UINT acp = GetACP();
    CPINFO info;
    if (!GetCPInfo(acp, &info) || info.MaxCharSize <= 1) return 1;
    // The shortest run of bytes that the code page reads as one character.
    const std::size_t left = text.size() - position;
    const std::size_t longest = std::min<std::size_t>(info.MaxCharSize, left);
    for (std::size_t length = 1; length <= longest; ++length) {
        if (MultiByteToWideChar(acp, MB_ERR_INVALID_CHARS, text.data() + position,
                                static_cast<int>(length), nullptr, 0) > 0) {
            return length;
        }
    }
    return 1;
}

bool ConvertEncoding(const std::string& fromCodeset, const std::string& toCodeset,
                     const std::string& input, std::string& output) {
    output.clear();
    const UINT from = CodePageOf(fromCodeset);
    const UINT to = CodePageOf(toCodeset);
    if (from == 0 || to == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::wstring wide;
    if (from == kUtf16Le) {
        if (input.size() % 2 != 0) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return false;
        }
        wide.resize(input.size() / 2);
        if (!input.empty()) std::memcpy(&wide[0], input.data(), input.size());
    } else if (!ToWide(from, input.data(), input.size(), wide)) {
        return false;
    }
    if (to == kUtf16Le) {
        output.assign(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
        return true;
    }
    return FromWide(to, wide.data(), wide.size(), false, output);
}

bool NarrowToUtf8(const std::string& narrow, std::string& utf8) {
    return Recode(GetACP(), CP_UTF8, narrow, utf8);
}

bool Utf8ToNarrow(const std::string& utf8, std::string& narrow) {
    return Recode(CP_UTF8, GetACP(), utf8, narrow);
}

std::string Utf8ToNarrowReplacing(const std::string& utf8) {
    if (IsAscii(utf8.data(), utf8.size())) return utf8;
    // Decoded here rather than by the system, so that each byte that begins no UTF-8 character
    // becomes one '?' and the characters around it stay.
    const auto* at = reinterpret_cast<const unsigned char*>(utf8.data());
    const unsigned char* const end = at + utf8.size();
    std::wstring wide;
    wide.reserve(utf8.size());
    while (at < end) {
        const std::size_t length = Utf8CharLength(at, end);
        if (length == 0) {
            wide += L'?';
            ++at;
            continue;
        }
        static const unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
        unsigned long code = at[0] & kLeadBits[length];
        for (std::size_t i = 1; i < length; ++i) code = (code << 6) | (at[i] & 0x3F);
        if (code >= 0x10000) {
            code -= 0x10000;
            wide += static_cast<wchar_t>(0xD800 + (code >> 10));
            wide += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(code);
        }
        at += length;
    }
    return win32::WideToNarrowReplacing(wide);
}

bool NarrowToUtf16(const std::string& narrow, std::u16string& utf16) {
    std::wstring wide;
    if (!win32::NarrowToWide(narrow, wide)) {
        utf16.clear();
        return false;
    }
    utf16.assign(wide.begin(), wide.end());
    return true;
}

bool Utf16ToNarrow(const std::u16string& utf16, std::string& narrow) {
    return FromWide(GetACP(), reinterpret_cast<const wchar_t*>(utf16.data()), utf16.size(),
                    false, narrow);
}

namespace win32 {

bool NarrowToWide(const std::string& narrow, std::wstring& wide) {
    return ToWide(GetACP(), narrow.data(), narrow.size(), wide);
}

std::string WideToNarrowReplacing(const wchar_t* wide, std::size_t length) {
    // Surrogates are settled here, so that each character the code page cannot hold becomes one
    // '?': the conversion call makes an unpaired surrogate U+FFFD in UTF-8, and each half of a
    // pair a '?' of its own in the other code pages.
    const UINT acp = GetACP();
    std::wstring settled;
    settled.reserve(length);
    std::string held;
    for (std::size_t at = 0; at < length; ++at) {
        const wchar_t unit = wide[at];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        const bool lowNext = at + 1 < length && wide[at + 1] >= 0xDC00 && wide[at + 1] <= 0xDFFF;
        if (high && lowNext) {
            if (acp == CP_UTF8 || FromWide(acp, wide + at, 2, false, held)) {
                settled.append(wide + at, 2);
            } else {
                settled += L'?';
            }
            ++at;
        } else {
            settled += high || low ? L'?' : unit;
        }
    }
    std::string narrow;
    FromWide(acp, settled.data(), settled.size(), true, narrow);
    return narrow;
}

}  // namespace win32

}  // namespace wi::platform
