// The size probe: where the service says a file lies, and the Content-Length of a HEAD on it.
#pragma once

#include <cstdint>
#include <string>

namespace wi::transfer {

// The value of the "content-length: " header (any letter case, the blank required) of an
// answer, read as a signed 64-bit decimal; -1 when the header or the line end after it is
// missing.
std::int64_t ReadContentLength(const std::string& answer);

}  // namespace wi::transfer
