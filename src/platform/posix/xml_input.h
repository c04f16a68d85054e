// The inputs of a parse decoded to UTF-8, so that the bounds are checked on the text libxml2
// reads.
#pragma once

#include <string>

#include "platform/common/xml_encoding.h"  // the encoding a document's bytes show or declare

namespace wi::xml::libxml2 {

// As Document::ParseFile and ParseBytes decode their inputs (see xml_dom.h); false when the input
// cannot be read, is beyond its bound or cannot be decoded.
bool FileToUtf8(const std::string& windowsPath, std::string& utf8);
bool BytesToUtf8(const std::string& bytes, std::string& utf8);
// Narrow text as UTF-8: where the narrow code page is UTF-8 the text itself (libxml2 checks
// UTF-8 as it reads, so a large list is neither copied nor scanned first), otherwise its
// conversion, kept in converted; null when beyond the bound or not convertible.
const std::string* TextAsUtf8(const std::string& narrowText, std::string& converted);

}  // namespace wi::xml::libxml2
