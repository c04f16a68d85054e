#include "platform/temporary_siblings.h"

namespace wi::platform {

namespace {

constexpr char kPrefix[] = ".~wi";

// Digits only, at least one, and no more than an id or a counter has.
bool ReadNumber(const std::string& text, unsigned long& number) {
    if (text.empty() || text.size() > 10) return false;
    number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + static_cast<unsigned long>(c - '0');
    }
    return true;
}

}  // namespace

std::string TemporarySiblingName(unsigned long processId, unsigned number) {
    return kPrefix + std::to_string(processId) + "-" + std::to_string(number);
}

bool ReadTemporarySiblingName(const std::string& name, unsigned long& processId) {
    const std::string::size_type prefix = sizeof kPrefix - 1;
    if (name.compare(0, prefix, kPrefix) != 0) return false;
    const std::string::size_type dash = name.find('-', prefix);
    unsigned long counter = 0;
    return dash != std::string::npos && ReadNumber(name.substr(prefix, dash - prefix), processId) &&
           ReadNumber(name.substr(dash + 1), counter);
}

}  // namespace wi::platform
