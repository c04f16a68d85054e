// Decoding a document's bytes to UTF-16 by the encoding it names, with the system's code pages.
#include "platform/win32/xml_scan.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdlib>

namespace wi::xml::msxml {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// The code page of an encoding name, 0 when none is known.
UINT CodePageOf(const std::string& name) {
    static const struct {
        const char* name;
        UINT codePage;
    } kNames[] = {
        {"utf-8", CP_UTF8},      {"utf8", CP_UTF8},        {"gb2312", 936},
        {"gbk", 936},            {"cp936", 936},           {"x-gbk", 936},
        {"windows-936", 936},    {"gb18030", 54936},       {"big5", 950},
        {"shift_jis", 932},      {"euc-kr", 949},          {"us-ascii", 20127},
        {"ascii", 20127},        {"iso-8859-1", 28591},    {"latin1", 28591},
    };
    for (const auto& known : kNames) {
        if (name == known.name) return known.codePage;
    }
    // windows-1250 ... windows-1258 and iso-8859-2 ... iso-8859-15 carry their number.
    const auto numberAfter = [&name](const char* prefix) -> long {
        const std::size_t length = std::char_traits<char>::length(prefix);
        if (name.compare(0, length, prefix) != 0 || name.size() == length) return 0;
        char* end = nullptr;
        const long number = std::strtol(name.c_str() + length, &end, 10);
        return *end == '\0' ? number : 0;
    };
    const long windows = numberAfter("windows-");
    if (windows >= 1250 && windows <= 1258) return static_cast<UINT>(windows);
    const long iso = numberAfter("iso-8859-");
    if ((iso >= 2 && iso <= 9) || iso == 13 || iso == 15) return static_cast<UINT>(28590 + iso);
    return 0;
}

// UTF-16 or UTF-32 in either byte order; false for a cut-off unit or a code point that is no
// character (beyond U+10FFFF or a surrogate in UTF-32).
bool DecodeUnits(const std::string& bytes, int unitSize, bool bigEndian, std::wstring& text) {
    if (bytes.size() % unitSize != 0) return false;
    text.reserve(bytes.size() / unitSize);
    for (std::size_t at = 0; at < bytes.size(); at += unitSize) {
        unsigned long unit = 0;
        for (int i = 0; i < unitSize; ++i) {
            const std::size_t index = at + (bigEndian ? i : unitSize - 1 - i);
            const auto byte = static_cast<unsigned char>(bytes[index]);
            unit = (unit << 8) | byte;
        }
        if (unitSize == 2 || unit < 0x10000) {
            if (unitSize == 4 && unit >= 0xD800 && unit <= 0xDFFF) return false;
            text.push_back(static_cast<wchar_t>(unit));
        } else if (unit <= 0x10FFFF) {
            unit -= 0x10000;
            text.push_back(static_cast<wchar_t>(0xD800 + (unit >> 10)));
            text.push_back(static_cast<wchar_t>(0xDC00 + (unit & 0x3FF)));
        } else {
            return false;
        }
    }
    return true;
}

bool DecodeCodePage(UINT codePage, const std::string& bytes, std::wstring& text) {
    if (bytes.empty()) return true;
    const int size = static_cast<int>(bytes.size());
    const int length =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0) return false;
    text.resize(static_cast<std::size_t>(length));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, &text[0],
                               length) == length;
}

}  // namespace

bool DecodeBytes(const std::string& encoding, const std::string& bytes, std::wstring& text) {
    text.clear();
    const std::string name = Lower(encoding);
    bool decoded = false;
    if (bytes.size() > 0x7fffffff) {
        return false;  // beyond what the system conversion takes in one call
    } else if (name == "utf-16le" || name == "utf-16") {
        decoded = DecodeUnits(bytes, 2, false, text);
    } else if (name == "utf-16be") {
        decoded = DecodeUnits(bytes, 2, true, text);
    } else if (name == "utf-32le" || name == "utf-32") {
        decoded = DecodeUnits(bytes, 4, false, text);
    } else if (name == "utf-32be") {
        decoded = DecodeUnits(bytes, 4, true, text);
    } else if (const UINT codePage = CodePageOf(name)) {
        decoded = DecodeCodePage(codePage, bytes, text);
    }
    if (!decoded) {
        text.clear();
        return false;
    }
    if (!text.empty() && text[0] == 0xFEFF) {
        text.erase(0, 1);  // the byte order mark
    }
    return true;
}

}  // namespace wi::xml::msxml
