// What both XML backends read from a document's bytes before decoding them: the file itself,
// within its bound, and the encoding its bytes show or declare.
#pragma once

#include <string>

namespace wi::xml {

// The whole file at the Windows path; false when it cannot be opened or read, or is larger than
// kMaxFileBytes (reading stops as soon as it is).
bool ReadDocumentFile(const std::string& windowsPath, std::string& bytes);

// The encoding that the XML declaration at the start of the bytes names; "" when there is none.
std::string DeclaredEncoding(const std::string& bytes);

// The encoding of a file's bytes, as an XML parser finds it: by a byte order mark, else by "<" or
// "<?" laid out in UTF-32 or UTF-16, else as the declaration names, else UTF-8.
std::string DocumentEncoding(const std::string& bytes);

}  // namespace wi::xml
