#include "platform/posix/system_info_text.h"

#include <algorithm>

namespace wi::platform::posix {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string Trimmed(const std::string& text, std::size_t begin, std::size_t end) {
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// The leading decimal digits of the text as a number; false when there are none or more than
// maxDigits of them.
bool LeadingNumber(const std::string& text, int maxDigits, std::int64_t& number) {
    number = 0;
    int digits = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        if (++digits > maxDigits) return false;
        number = number * 10 + (c - '0');
    }
    return digits > 0;
}

// A meminfo value "16318412 kB" in bytes; 0 when it is not one.
std::int64_t KibValue(const std::string& value) {
    std::int64_t kib = 0;
    const std::size_t unit = value.find_first_not_of("0123456789");
    // Fifteen digits of kB are far beyond any memory and still fit in bytes.
    if (!LeadingNumber(value, 15, kib) || unit == std::string::npos ||
        Trimmed(value, unit, value.size()) != "kB") {
        return 0;
    }
    return kib * 1024;
}

std::string Unquoted(const std::string& value) {
    if (value.size() < 2 || (value[0] != '"' && value[0] != '\'') ||
        value.back() != value[0]) {
        return value;
    }
    const std::string inner = value.substr(1, value.size() - 2);
    if (value[0] == '\'') return inner;
    std::string text;
    for (std::size_t at = 0; at < inner.size(); ++at) {
        const bool escaped = inner[at] == '\\' && at + 1 < inner.size() &&
                             std::string("\"\\$`").find(inner[at + 1]) != std::string::npos;
        text += escaped ? inner[++at] : inner[at];
    }
    return text;
}

}  // namespace

std::string FindKeyValue(const std::string& text, const std::string& key, char separator) {
    const std::string bounded = text.substr(0, kMaxSystemText);
    for (std::size_t line = 0; line < bounded.size();) {
        std::size_t end = bounded.find('\n', line);
        if (end == std::string::npos) end = bounded.size();
        // Looked for within the line only, so that a text without separators costs one pass.
        const auto mark = std::find(bounded.begin() + line, bounded.begin() + end, separator);
        const std::size_t at = static_cast<std::size_t>(mark - bounded.begin());
        if (at < end && Trimmed(bounded, line, at) == key) {
            return Trimmed(bounded, at + 1, end);
        }
        line = end + 1;
    }
    return "";
}

CpuInfo ParseCpuInfo(const std::string& text) {
    CpuInfo info;
    for (const char* key : {"model name", "Processor", "cpu model", "cpu"}) {
        info.name = FindKeyValue(text, key, ':');
        if (!info.name.empty()) break;
    }
    std::int64_t mhz = 0;
    if (LeadingNumber(FindKeyValue(text, "cpu MHz", ':'), 7, mhz)) {
        info.mhz = static_cast<int>(mhz);
    }
    return info;
}

MemInfo ParseMemInfo(const std::string& text) {
    MemInfo info;
    info.total = KibValue(FindKeyValue(text, "MemTotal", ':'));
    const std::string available = FindKeyValue(text, "MemAvailable", ':');
    info.available = KibValue(available.empty() ? FindKeyValue(text, "MemFree", ':') : available);
    return info;
}

OsRelease ParseOsRelease(const std::string& text) {
    OsRelease release;
    release.name = Unquoted(FindKeyValue(text, "PRETTY_NAME", '='));
    if (release.name.empty()) release.name = Unquoted(FindKeyValue(text, "NAME", '='));
    release.version = Unquoted(FindKeyValue(text, "VERSION_ID", '='));
    return release;
}

}  // namespace wi::platform::posix
