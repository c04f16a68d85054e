// The inputs of a parse decoded to UTF-8, so that the bounds are checked on the text libxml2
// reads, and the encoding a document's bytes declare or show.
#pragma once

#include <string>

namespace wi::xml::libxml2 {

// As Document::ParseFile, ParseBytes and ParseText decode their inputs (see xml_dom.h); false
// when the input cannot be read, is beyond its bound or cannot be decoded.
bool FileToUtf8(const std::string& windowsPath, std::string& utf8);
bool BytesToUtf8(const std::string& bytes, std::string& utf8);
bool TextToUtf8(const std::string& narrowText, std::string& utf8);

// The encoding that the XML declaration at the start of the bytes names; "" when there is none.
std::string DeclaredEncoding(const std::string& bytes);

// The encoding of a file's bytes, as an XML parser finds it: by a byte order mark, else by "<" or
// "<?" laid out in UTF-32 or UTF-16, else as the declaration names, else UTF-8.
std::string DocumentEncoding(const std::string& bytes);

}  // namespace wi::xml::libxml2
