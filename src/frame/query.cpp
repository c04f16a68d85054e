#include "frame/query.h"

namespace wi::frame {

std::string& EncodeQueryValue(std::string& value) {
    static const char kHexDigits[] = "0123456789abcdef";
    std::string encoded;
    encoded.reserve(value.size() * 3);
    for (char c : value) {
        unsigned char byte = static_cast<unsigned char>(c);
        bool plain = (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
                     (byte >= 'A' && byte <= 'Z');
        if (plain) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHexDigits[byte >> 4];
            encoded += kHexDigits[byte & 0xF];
        }
    }
    value.swap(encoded);
    return value;
}

std::string AppendQueryParameter(const std::string& address, const std::string& parameter) {
    const char* separator = address.find('?') != std::string::npos ? "&" : "?";
    return address + separator + parameter;
}

std::string AppendQueryParameterFirstMarkOnly(const std::string& address,
                                              const std::string& parameter) {
    std::string::size_type mark = address.find('?');
    const char* separator = mark != std::string::npos && mark > 0 ? "&" : "?";
    return address + separator + parameter;
}

}  // namespace wi::frame
