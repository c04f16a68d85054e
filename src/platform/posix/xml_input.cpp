#include "platform/posix/xml_input.h"

#include <libxml/xmlstring.h>

#include <utility>

#include "platform/codepage.h"
#include "platform/xml_dom.h"

namespace wi::xml::libxml2 {

bool FileToUtf8(const std::string& windowsPath, std::string& utf8) {
    std::string bytes;
    if (!ReadDocumentFile(windowsPath, bytes)) return false;
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

}  // namespace wi::xml::libxml2
