// MD5 (RFC 1321), for the Digest answers of the upload transport. Not for anything that needs a
// secure hash. The hash itself comes from the system's cryptography library (libcrypto on posix,
// BCrypt on Windows); the text around it is shared.
#pragma once

#include <array>
#include <string>

namespace wi::platform {

using Md5Digest = std::array<unsigned char, 16>;

// The MD5 of the bytes; false when the cryptography library cannot compute it (a host policy
// that turns MD5 off, say). Defined by each backend.
bool ComputeMd5(const std::string& bytes, Md5Digest& digest);

// The MD5 of the bytes as 32 lower-case hexadecimal digits; "" when it cannot be computed.
std::string Md5Hex(const std::string& bytes);

}  // namespace wi::platform
