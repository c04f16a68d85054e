// The inputs of a parse decoded to UTF-8, so that the bounds are checked on the text libxml2
// reads.
#pragma once

#include <memory>
#include <string>

#include "platform/common/xml_encoding.h"  // the encoding a document's bytes show or declare
#include "platform/xml_stream.h"

namespace wi::xml::libxml2 {

// As Document::ParseFile and ParseBytes decode their inputs (see xml_dom.h); false when the input
// cannot be read, is beyond its bound or cannot be decoded.
bool FileToUtf8(const std::string& windowsPath, std::string& utf8);
bool BytesToUtf8(const std::string& bytes, std::string& utf8);
// Narrow text as UTF-8: where the narrow code page is UTF-8 the text itself (libxml2 checks
// UTF-8 as it reads, so a large list is neither copied nor scanned first), otherwise its
// conversion, kept in converted; null when beyond the bound or not convertible.
const std::string* TextAsUtf8(const std::string& narrowText, std::string& converted);

// An input's UTF-8 text handed over piece by piece, so that a parse holds a window of it rather
// than a copy of the whole: a file is read and decoded a block at a time, within kMaxFileBytes as
// the bytes arrive; text and bytes are decoded as above and handed over from where they lie.
class Utf8Pieces {
public:
    virtual ~Utf8Pieces() = default;
    // Up to `size` bytes of the text: their count, 0 at its end, or -1 when the rest cannot be
    // read or decoded or the input grows beyond its bound.
    virtual int Read(char* buffer, int size) = 0;
};

// Null when the input is refused before any of it is handed over: beyond its bound, not
// decodable as a whole (text and bytes), a file that cannot be opened or whose encoding iconv
// does not know.
std::unique_ptr<Utf8Pieces> OpenUtf8Pieces(StreamSource source, const std::string& input);

}  // namespace wi::xml::libxml2
