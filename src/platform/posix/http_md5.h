// MD5 (RFC 1321), for the Digest authentication of the upload transport. Not for anything that
// needs a secure hash.
#pragma once

#include <string>

namespace wi::platform::posix {

// The MD5 of the bytes as 32 lower-case hexadecimal digits.
std::string Md5Hex(const std::string& bytes);

}  // namespace wi::platform::posix
