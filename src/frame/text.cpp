#include "frame/text.h"

namespace wi::frame {

std::string& ReplaceAll(std::string& text, const std::string& what, const std::string& with) {
    if (what.empty()) return text;
    std::string::size_type position = 0;
    while ((position = text.find(what, position)) != std::string::npos) {
        text.replace(position, what.size(), with);
        position += with.size();  // the replacement itself is never searched again
    }
    return text;
}

std::string& EraseAll(std::string& text, const std::string& what) {
    return ReplaceAll(text, what, std::string());
}

std::string FillIn(const std::string& format, const std::string& value) {
    const std::string::size_type at = format.find("%s");
    if (at == std::string::npos) return format;
    return format.substr(0, at) + value + format.substr(at + 2);
}

}  // namespace wi::frame
