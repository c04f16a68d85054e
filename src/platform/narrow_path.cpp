#include "platform/narrow_path.h"

#include <cstring>

#include "platform/codepage.h"

namespace wi::platform {

std::size_t FindNarrowChar(const std::string& text, const char* characters, std::size_t from) {
    for (std::size_t position = from; position < text.size();
         position += NarrowCharLength(text, position)) {
        const char c = text[position];
        if (c != '\0' && std::strchr(characters, c)) return position;
    }
    return std::string::npos;
}

std::size_t FindLastNarrowChar(const std::string& text, const char* characters) {
    std::size_t last = std::string::npos;
    for (std::size_t found = FindNarrowChar(text, characters); found != std::string::npos;
         found = FindNarrowChar(text, characters, found + 1)) {
        last = found;
    }
    return last;
}

bool EndsWithBackslash(const std::string& text) {
    return !text.empty() && FindLastNarrowChar(text, "\\") == text.size() - 1;
}

}  // namespace wi::platform
