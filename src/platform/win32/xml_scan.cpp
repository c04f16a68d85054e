#include "platform/win32/xml_scan.h"

#include "platform/codepage.h"

#include <cwchar>

namespace wi::xml::msxml {

namespace {

bool StartsWith(const std::wstring& text, std::size_t at, const wchar_t* prefix) {
    return text.compare(at, std::wcslen(prefix), prefix) == 0;
}

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// UTF-16BE or UTF-32 in either byte order, which the system's conversions do not take; false for
// a cut-off unit or a code point that is no character (a surrogate or beyond U+10FFFF in UTF-32).
bool DecodeUnits(const std::string& bytes, std::size_t unitSize, bool bigEndian,
                 std::wstring& text) {
    if (bytes.size() % unitSize != 0) return false;
    text.reserve(bytes.size() / unitSize);
    for (std::size_t at = 0; at < bytes.size(); at += unitSize) {
        unsigned long unit = 0;
        for (std::size_t i = 0; i < unitSize; ++i) {
            const std::size_t index = at + (bigEndian ? i : unitSize - 1 - i);
            unit = (unit << 8) | static_cast<unsigned char>(bytes[index]);
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

// Where the construct opened at `at` ends (just past `close`), or npos when it does not.
std::size_t PastClose(const std::wstring& text, std::size_t at, const wchar_t* close) {
    const std::size_t found = text.find(close, at);
    return found == std::wstring::npos ? found : found + std::wcslen(close);
}

}  // namespace

bool WithinBounds(const std::wstring& text, int maxDepth, int maxAttributes) {
    int depth = 0;
    std::size_t at = text.find(L'<');
    while (at != std::wstring::npos) {
        if (StartsWith(text, at, L"<!--")) {
            at = PastClose(text, at + 4, L"-->");
        } else if (StartsWith(text, at, L"<![CDATA[")) {
            at = PastClose(text, at + 9, L"]]>");
        } else if (StartsWith(text, at, L"<?")) {
            at = PastClose(text, at + 2, L"?>");
        } else if (StartsWith(text, at, L"<!")) {
            return false;  // a document type declaration
        } else if (StartsWith(text, at, L"</")) {
            --depth;
            at = PastClose(text, at + 2, L">");
        } else {
            // A start tag: every attribute has its own '=' outside the quoted values.
            int equals = 0;
            wchar_t quote = 0;
            ++at;
            for (; at < text.size(); ++at) {
                const wchar_t c = text[at];
                if (quote != 0) {
                    if (c == quote) quote = 0;
                } else if (c == L'"' || c == L'\'') {
                    quote = c;
                } else if (c == L'=') {
                    if (++equals > maxAttributes) return false;
                } else if (c == L'>' || c == L'<') {
                    break;
                }
            }
            // An empty element counts as deep as one with content, then closes at once.
            if (depth + 1 > maxDepth) return false;
            const bool empty = at < text.size() && text[at] == L'>' && text[at - 1] == L'/';
            if (!empty) ++depth;
            if (at < text.size() && text[at] == L'>') ++at;
        }
        if (at == std::wstring::npos) break;
        at = text.find(L'<', at);
    }
    return true;
}

std::wstring WithoutDeclaration(const std::wstring& text) {
    std::size_t start = !text.empty() && text[0] == 0xFEFF ? 1 : 0;
    if (!StartsWith(text, start, L"<?xml") || start + 5 >= text.size() ||
        std::wcschr(L" \t\r\n?", text[start + 5]) == nullptr) {
        return text;
    }
    std::size_t end = PastClose(text, start + 5, L"?>");
    if (end == std::wstring::npos) {
        return text;
    }
    while (end < text.size() && (text[end] == L'\r' || text[end] == L'\n')) ++end;
    return text.substr(end);
}

bool DecodeBytes(const std::string& encoding, const std::string& bytes, std::wstring& text) {
    text.clear();
    const std::string name = Upper(encoding);
    bool decoded = false;
    if (name == "UTF-16BE") {
        decoded = DecodeUnits(bytes, 2, true, text);
    } else if (name == "UTF-32LE" || name == "UTF-32") {
        decoded = DecodeUnits(bytes, 4, false, text);
    } else if (name == "UTF-32BE") {
        decoded = DecodeUnits(bytes, 4, true, text);
    } else {
        std::string utf16;
        decoded = platform::ConvertEncoding(encoding, "UTF-16LE", bytes, utf16);
        decoded = decoded && DecodeUnits(utf16, 2, false, text);
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
