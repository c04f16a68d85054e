#include "platform/common/xml_encoding.h"

#include <cstring>
#include <memory>

#include "platform/files.h"
#include "platform/xml_dom.h"

namespace wi::xml {

bool ReadDocumentFile(const std::string& windowsPath, std::string& bytes) {
    bytes.clear();
    std::unique_ptr<platform::File> file = platform::OpenForRead(windowsPath);
    char block[16384];
    long long got = 0;
    while (file && (got = file->Read(block, sizeof block)) > 0) {
        bytes.append(block, static_cast<std::size_t>(got));
        if (bytes.size() > kMaxFileBytes) return false;
    }
    return file && got >= 0;
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
    const std::size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
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

}  // namespace wi::xml
