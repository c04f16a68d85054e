#include "platform/common/http_md5.h"

namespace wi::platform {

std::string Md5Hex(const std::string& bytes) {
    Md5Digest digest{};
    if (!ComputeMd5(bytes, digest)) return "";
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : digest) {
        hex.push_back(kHex[byte >> 4]);
        hex.push_back(kHex[byte & 0xf]);
    }
    return hex;
}

}  // namespace wi::platform
