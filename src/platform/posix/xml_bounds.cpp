#include "platform/posix/xml_bounds.h"

#include <cstring>

namespace wi::xml::libxml2 {

bool AttributeScan::Feed(const char* text, std::size_t size) {
    const char* at = text;
    const char* const end = text + size;
    while (at < end) {
        switch (place_) {
            case Place::kOutside: {
                const void* open = std::memchr(at, '<', static_cast<std::size_t>(end - at));
                if (open == nullptr) return true;
                at = static_cast<const char*>(open) + 1;
                place_ = Place::kAfterOpen;
                break;
            }
            case Place::kAfterOpen:
                // A comment, declaration, instruction or end tag; else a start tag begins here.
                if (*at == '!' || *at == '?' || *at == '/') {
                    place_ = Place::kOutside;
                    ++at;
                } else {
                    place_ = Place::kInTag;
                    quote_ = 0;
                    equals_ = 0;
                }
                break;
            case Place::kInTag:
                for (; at < end; ++at) {
                    const char c = *at;
                    if (c == '<') {  // the tag ends; this '<' is looked at again
                        place_ = Place::kOutside;
                        break;
                    }
                    if (quote_ != 0) {
                        if (c == quote_) quote_ = 0;
                    } else if (c == '"' || c == '\'') {
                        quote_ = c;
                    } else if (c == '=') {
                        if (++equals_ > max_) return false;
                    } else if (c == '>') {
                        place_ = Place::kOutside;
                        ++at;
                        break;
                    }
                }
                break;
        }
    }
    return true;
}

bool AttributeCountsWithin(const std::string& text, int maxAttributes) {
    return AttributeScan(maxAttributes).Feed(text.data(), text.size());
}

}  // namespace wi::xml::libxml2
