#include "platform/posix/registry_store.h"

#include <algorithm>
#include <climits>
#include <set>
#include <utility>

namespace wi::platform::posix {

namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Folded(const std::string& text) {
    std::string folded = text;
    for (char& c : folded) c = FoldAscii(c);
    return folded;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

bool ValidKey(const std::string& key) {
    if (key.empty()) return false;
    for (char c : key) {
        if (IsControl(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

std::string Quoted(const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    std::string quoted = "\"";
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            quoted += '\\';
            quoted += c;
        } else if (IsControl(byte)) {
            quoted += "\\x";
            quoted += kHex[byte >> 4];
            quoted += kHex[byte & 0xF];
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a quoted text starting at `at` (which must be a double quote); moves `at` past it.
bool ReadQuoted(const std::string& line, std::size_t& at, std::string& text) {
    if (at >= line.size() || line[at] != '"') return false;
    text.clear();
    for (++at; at < line.size(); ++at) {
        const char c = line[at];
        if (c == '"') {
            ++at;
            return true;
        }
        if (IsControl(static_cast<unsigned char>(c))) return false;
        if (c != '\\') {
            text += c;
            continue;
        }
        if (++at >= line.size()) return false;
        const char escaped = line[at];
        if (escaped == '\\' || escaped == '"') {
            text += escaped;
        } else if (escaped == 'x' && at + 2 < line.size() && HexDigit(line[at + 1]) >= 0 &&
                   HexDigit(line[at + 2]) >= 0) {
            text += static_cast<char>(HexDigit(line[at + 1]) * 16 + HexDigit(line[at + 2]));
            at += 2;
        } else {
            return false;
        }
    }
    return false;  // no closing quote
}

bool Expect(const std::string& line, std::size_t& at, const char* literal) {
    for (; *literal != '\0'; ++literal, ++at) {
        if (at >= line.size() || line[at] != *literal) return false;
    }
    return true;
}

// A signed decimal that fits an int.
bool ReadInt(const std::string& line, std::size_t& at, int& value) {
    bool negative = false;
    if (at < line.size() && line[at] == '-') {
        negative = true;
        ++at;
    }
    long long magnitude = 0;
    const std::size_t first = at;
    for (; at < line.size() && line[at] >= '0' && line[at] <= '9'; ++at) {
        magnitude = magnitude * 10 + (line[at] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (at == first) return false;
    const long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT_MAX || signedValue < INT_MIN) return false;
    value = static_cast<int>(signedValue);
    return true;
}

// The line without a CR before its end and without blanks after its last character.
std::string Trimmed(const std::string& raw) {
    std::size_t end = raw.size();
    while (end > 0 && (raw[end - 1] == '\r' || raw[end - 1] == ' ' || raw[end - 1] == '\t')) {
        --end;
    }
    return raw.substr(0, end);
}

}  // namespace

std::string ValueLine(const StoredValue& value) {
    return Quoted(value.name) + "=type(" + std::to_string(value.type) + "):" + Quoted(value.data);
}

std::string KeyLine(const std::string& key) { return "[" + key + "]"; }

RegistryStore::Line RegistryStore::Classify(const std::string& raw, const std::string& currentKey,
                                            bool inSection) {
    Line line;
    line.raw = raw;
    const std::string text = Trimmed(raw);
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
        // A key line with a key the store cannot hold still ends the section above it; the
        // lines below it belong to no key.
        std::string key = text.substr(1, text.size() - 2);
        line.kind = Line::kKey;
        if (ValidKey(key)) line.value.key = std::move(key);
        return line;
    }
    if (!inSection) return line;
    std::size_t at = 0;
    StoredValue value;
    if (ReadQuoted(text, at, value.name) && Expect(text, at, "=type(") &&
        ReadInt(text, at, value.type) && Expect(text, at, "):") &&
        ReadQuoted(text, at, value.data) && at == text.size()) {
        value.key = currentKey;
        line.kind = Line::kValue;
        line.value = std::move(value);
    }
    return line;
}

RegistryStore::RegistryStore(const std::string& text) {
    std::string currentKey;
    bool inSection = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines_.push_back(Classify(text.substr(start, end - start), currentKey, inSection));
        if (lines_.back().kind == Line::kKey) {
            currentKey = lines_.back().value.key;
            inSection = !currentKey.empty();
        }
        start = end + 1;
    }
}

bool RegistryStore::Set(const StoredValue& value) {
    if (!ValidKey(value.key)) return false;
    Line line;
    line.raw = ValueLine(value);
    line.kind = Line::kValue;
    line.value = value;

    // The first line of the value takes the new content; the key keeps the spelling it has.
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Line::kValue && SameName(lines_[i].value.key, value.key) &&
            SameName(lines_[i].value.name, value.name)) {
            line.value.key = lines_[i].value.key;
            lines_[i] = line;
            // Any later line of the same value goes.
            const auto later = std::remove_if(
                lines_.begin() + static_cast<std::ptrdiff_t>(i) + 1, lines_.end(),
                [&value](const Line& other) {
                    return other.kind == Line::kValue && SameName(other.value.key, value.key) &&
                           SameName(other.value.name, value.name);
                });
            lines_.erase(later, lines_.end());
            return true;
        }
    }

    // A new value goes after the last non-blank line of its key's first section.
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind != Line::kKey || !SameName(lines_[i].value.key, value.key)) continue;
        line.value.key = lines_[i].value.key;
        std::size_t last = i;
        for (std::size_t j = i + 1; j < lines_.size() && lines_[j].kind != Line::kKey; ++j) {
            if (!Trimmed(lines_[j].raw).empty()) last = j;
        }
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last) + 1, line);
        return true;
    }

    // A new key: a section of its own at the end, after a blank line.
    if (!lines_.empty() && !Trimmed(lines_.back().raw).empty()) {
        lines_.push_back(Line());
    }
    Line keyLine;
    keyLine.raw = KeyLine(value.key);
    keyLine.kind = Line::kKey;
    keyLine.value.key = value.key;
    lines_.push_back(keyLine);
    lines_.push_back(line);
    return true;
}

void RegistryStore::Remove(const std::string& key, const std::string& name) {
    const auto gone = std::remove_if(lines_.begin(), lines_.end(), [&](const Line& line) {
        return line.kind == Line::kValue && SameName(line.value.key, key) &&
               SameName(line.value.name, name);
    });
    lines_.erase(gone, lines_.end());
}

std::vector<StoredValue> RegistryStore::Values() const {
    std::vector<StoredValue> values;
    std::set<std::pair<std::string, std::string>> seen;
    for (const Line& line : lines_) {
        if (line.kind == Line::kValue &&
            seen.emplace(Folded(line.value.key), Folded(line.value.name)).second) {
            values.push_back(line.value);
        }
    }
    return values;
}

std::string RegistryStore::Text() const {
    std::string text;
    for (const Line& line : lines_) {
        text += line.raw;
        text += '\n';
    }
    return text;
}

}  // namespace wi::platform::posix
