// The size probe: where the service says a file lies, and the Content-Length of a HEAD on it.
#pragma once

#include <cstdint>
#include <string>

namespace wi::transfer {

// The file's address in the locator's answer: from its first "http://" up to the first blank or
// control character after it, which no address holds (and which would end or split the request
// line it goes into); "" when the answer names none.
std::string FileAddressFromLocatorAnswer(const std::string& answer);

// The value of the first line of an answer that starts with "content-length: " (any letter
// case, the blank required), read as a decimal number (leading blanks and a sign allowed, read up
// to the first other character, no digits give 0). -1 when there is no such line, no line end
// after it, or the value is negative or beyond 64 bits: none of these is a size.
std::int64_t ReadContentLength(const std::string& answer);

}  // namespace wi::transfer
