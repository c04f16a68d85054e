#include "narrow_text.h"

#include "webinteractive/host.h"

namespace cli {

namespace {

// Converts piece by piece between NUL bytes, which are the same byte in every narrow code page
// and in UTF-8 and which the library's C strings cannot carry.
template <typename Convert>
bool ConvertPieces(const std::string& input, std::string& output, Convert convert) {
    std::string result;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = input.find('\0', start);
        const char* piece = convert(input.substr(start, end - start).c_str());
        if (piece == nullptr) {
            output.clear();
            return false;
        }
        result += piece;
        if (end == std::string::npos) break;
        result += '\0';
        start = end + 1;
    }
    output.swap(result);
    return true;
}

}  // namespace

bool NarrowToUtf8(const std::string& narrow, std::string& utf8) {
    return ConvertPieces(narrow, utf8, IHostInc::NarrowToUtf8);
}

bool Utf8ToNarrow(const std::string& utf8, std::string& narrow) {
    return ConvertPieces(utf8, narrow, IHostInc::Utf8ToNarrow);
}

std::size_t NarrowCharLength(const std::string& text, std::size_t position) {
    if (position >= text.size()) return 0;
    return IHostInc::NarrowCharLength(text.data() + position, text.size() - position);
}

}  // namespace cli
