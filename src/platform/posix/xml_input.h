// The inputs of a parse decoded to UTF-8, so that the bounds are checked on the text libxml2
// reads.
#pragma once

#include <string>

#include "platform/common/xml_encoding.h"  // the encoding a document's bytes show or declare

namespace wi::xml::libxml2 {

// As Document::ParseFile, ParseBytes and ParseText decode their inputs (see xml_dom.h); false
// when the input cannot be read, is beyond its bound or cannot be decoded.
bool FileToUtf8(const std::string& windowsPath, std::string& utf8);
bool BytesToUtf8(const std::string& bytes, std::string& utf8);
bool TextToUtf8(const std::string& narrowText, std::string& utf8);

}  // namespace wi::xml::libxml2
