#include "platform/posix/xml_bounds.h"

namespace wi::xml::libxml2 {

bool AttributeCountsWithin(const std::string& text, int maxAttributes) {
    const std::size_t size = text.size();
    std::size_t at = text.find('<');
    while (at != std::string::npos && at + 1 < size) {
        const char next = text[at + 1];
        ++at;
        if (next == '!' || next == '?' || next == '/') {
            at = text.find('<', at);  // a comment, declaration, instruction or end tag
            continue;
        }
        int equals = 0;
        char quote = 0;
        for (; at < size && text[at] != '<'; ++at) {
            const char c = text[at];
            if (quote != 0) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '=') {
                if (++equals > maxAttributes) return false;
            } else if (c == '>') {
                break;
            }
        }
        at = text.find('<', at);
    }
    return true;
}

}  // namespace wi::xml::libxml2
