#include "json_output.h"

#include "narrow_text.h"

namespace cli::json {

Value Text(const std::string& narrow) { return Value(Utf8FromNarrow(narrow)); }

std::string Write(const Value& document) {
    // Every text went through Utf8FromNarrow; should one not have, its bad bytes are replaced
    // rather than the run ending on an exception.
    return document.dump(-1, ' ', false, Value::error_handler_t::replace);
}

std::string Utf8FromNarrow(const std::string& narrow) {
    std::string utf8;
    if (NarrowToUtf8(narrow, utf8)) return utf8;
    // Character by character: what converts is kept, the rest becomes the replacement character.
    utf8.clear();
    std::size_t position = 0;
    while (position < narrow.size()) {
        const std::size_t length = NarrowCharLength(narrow, position);
        std::string one;
        if (NarrowToUtf8(narrow.substr(position, length), one)) {
            utf8 += one;
        } else {
            utf8 += "\xEF\xBF\xBD";
        }
        position += length;
    }
    return utf8;
}

}  // namespace cli::json
