#include "platform/sibling_name.h"

namespace wi::platform {

namespace {

const char kPrefix[] = ".~wi";

// Reads the decimal digits at `position` (at least one, no leading sign); false otherwise.
bool ReadNumber(const std::string& text, std::size_t& position, unsigned long& value) {
    const std::size_t start = position;
    value = 0;
    while (position < text.size() && text[position] >= '0' && text[position] <= '9') {
        if (position - start >= 10) return false;  // beyond any process id or counter
        value = value * 10 + static_cast<unsigned long>(text[position] - '0');
        ++position;
    }
    return position > start;
}

}  // namespace

std::string SiblingName(unsigned long processId, unsigned counter) {
    return kPrefix + std::to_string(processId) + "-" + std::to_string(counter);
}

bool IsSiblingName(const std::string& name, unsigned long& processId) {
    if (name.compare(0, sizeof kPrefix - 1, kPrefix) != 0) return false;
    std::size_t position = sizeof kPrefix - 1;
    unsigned long counter = 0;
    if (!ReadNumber(name, position, processId)) return false;
    if (position == name.size() || name[position++] != '-') return false;
    return ReadNumber(name, position, counter) && position == name.size();
}

}  // namespace wi::platform
