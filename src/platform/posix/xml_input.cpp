#include "platform/posix/xml_input.h"

#include <libxml/xmlstring.h>

#include <cstring>
#include <memory>
#include <utility>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/xml_dom.h"

namespace wi::xml::libxml2 {

bool FileToUtf8(const std::string& windowsPath, std::string& utf8) {
    std::unique_ptr<platform::File> file = platform::OpenForRead(windowsPath);
    std::string bytes;
    char block[16384];
    long long got = 0;
    while (file && (got = file->Read(block, sizeof block)) > 0) {
        bytes.append(block, static_cast<std::size_t>(got));
        if (bytes.size() > kMaxFileBytes) return false;
    }
    if (!file || got < 0) return false;
    const std::string encoding = DocumentEncoding(bytes);
    if (xmlStrcasecmp(reinterpret_cast<const xmlChar*>(encoding.c_str()),
                      reinterpret_cast<const xmlChar*>("UTF-8")) == 0) {
        utf8 = std::move(bytes);  // libxml2 checks UTF-8 as it reads
        return true;
    }
    return platform::ConvertEncoding(encoding, "UTF-8", bytes, utf8);
}

bool BytesToUtf8(const std::string& bytes, std::string& utf8) {
    if (bytes.size() > kMaxTextBytes) return false;
    if (platform::NarrowToUtf8(bytes, utf8)) return true;
    const std::string declared = DeclaredEncoding(bytes);
    return !declared.empty() && platform::ConvertEncoding(declared, "UTF-8", bytes, utf8);
}

bool TextToUtf8(const std::string& narrowText, std::string& utf8) {
    return narrowText.size() <= kMaxTextBytes && platform::NarrowToUtf8(narrowText, utf8);
}

std::string DocumentEncoding(const std::string& bytes) {
    // Byte order marks first (UTF-32's before UTF-16's, which begin alike), then "<" or "<?" in
    // UTF-32 or UTF-16 without one.
    static const struct {
        const char* start;
        std::size_t length;
        const char* encoding;
    } kSignatures[] = {
        {"\xEF\xBB\xBF", 3, "UTF-8"},   {"\xFF\xFE\0\0", 4, "UTF-32LE"},
        {"\0\0\xFE\xFF", 4, "UTF-32BE"}, {"\xFF\xFE", 2, "UTF-16LE"},
        {"\xFE\xFF", 2, "UTF-16BE"},     {"<\0\0\0", 4, "UTF-32LE"},
        {"\0\0\0<", 4, "UTF-32BE"},     {"<\0?\0", 4, "UTF-16LE"},
        {"\0<\0?", 4, "UTF-16BE"},
    };
    for (const auto& signature : kSignatures) {
        if (bytes.compare(0, signature.length, signature.start, signature.length) == 0) {
            return signature.encoding;
        }
    }
    const std::string declared = DeclaredEncoding(bytes);
    return declared.empty() ? "UTF-8" : declared;
}

std::string DeclaredEncoding(const std::string& bytes) {
    static const char kBom[] = "\xEF\xBB\xBF";
    std::size_t start = bytes.compare(0, 3, kBom) == 0 ? 3 : 0;
    if (bytes.compare(start, 5, "<?xml") != 0) {
        return "";
    }
    const std::size_t end = bytes.find("?>", start);
    const std::string declaration =
        bytes.substr(start, end == std::string::npos ? std::string::npos : end - start);
    std::size_t at = declaration.find("encoding");
    if (at == std::string::npos) {
        return "";
    }
    at = declaration.find_first_not_of(" \t\r\n", at + std::strlen("encoding"));
    if (at == std::string::npos || declaration[at] != '=') {
        return "";
    }
    at = declaration.find_first_not_of(" \t\r\n", at + 1);
    if (at == std::string::npos || (declaration[at] != '"' && declaration[at] != '\'')) {
        return "";
    }
    const std::size_t close = declaration.find(declaration[at], at + 1);
    if (close == std::string::npos) {
        return "";
    }
    return declaration.substr(at + 1, close - at - 1);
}

}  // namespace wi::xml::libxml2
