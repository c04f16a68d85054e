// A small JSON writer for the CLI's --json results. Texts come in the narrow code page and are
// written as UTF-8; a character that cannot be converted becomes U+FFFD, so a document is always
// valid JSON.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace cli::json {

class Value {
public:
    enum class Kind { kNull, kBool, kNumber, kText, kArray, kObject };

    Value() = default;  // null
    static Value Bool(bool value);
    static Value Number(std::int64_t value);
    // A text in the narrow code page.
    static Value Text(const std::string& narrow);
    static Value Array();
    static Value Object();

    Kind kind() const { return kind_; }
    // Appends to an array.
    Value& Push(Value item);
    // Sets a member of an object, replacing one of the same name; members keep their first order.
    Value& Set(const std::string& name, Value item);
    // The member of that name, or null when an object has none.
    const Value* Find(const std::string& name) const;

    // The document on one line.
    std::string Write() const;

private:
    void WriteTo(std::string& out) const;

    Kind kind_ = Kind::kNull;
    bool bool_ = false;
    std::int64_t number_ = 0;
    std::string text_;  // UTF-8
    std::vector<Value> items_;
    std::vector<std::pair<std::string, Value>> members_;
};

// The narrow text as UTF-8, each character the conversion refuses becoming U+FFFD.
std::string Utf8FromNarrow(const std::string& narrow);

// A UTF-8 text as a JSON string literal, quotes included; control characters, quotes and
// backslashes escaped.
std::string Quote(const std::string& utf8);

}  // namespace cli::json
