#include "json_output.h"

#include <cstdio>

#include "platform/codepage.h"

namespace cli::json {

Value Value::Bool(bool value) {
    Value v;
    v.kind_ = Kind::kBool;
    v.bool_ = value;
    return v;
}

Value Value::Number(std::int64_t value) {
    Value v;
    v.kind_ = Kind::kNumber;
    v.number_ = value;
    return v;
}

Value Value::Text(const std::string& narrow) {
    Value v;
    v.kind_ = Kind::kText;
    v.text_ = Utf8FromNarrow(narrow);
    return v;
}

Value Value::Array() {
    Value v;
    v.kind_ = Kind::kArray;
    return v;
}

Value Value::Object() {
    Value v;
    v.kind_ = Kind::kObject;
    return v;
}

Value& Value::Push(Value item) {
    items_.push_back(std::move(item));
    return items_.back();
}

Value& Value::Set(const std::string& name, Value item) {
    for (auto& member : members_) {
        if (member.first == name) {
            member.second = std::move(item);
            return member.second;
        }
    }
    members_.emplace_back(name, std::move(item));
    return members_.back().second;
}

const Value* Value::Find(const std::string& name) const {
    for (const auto& member : members_) {
        if (member.first == name) return &member.second;
    }
    return nullptr;
}

std::string Value::Write() const {
    std::string out;
    WriteTo(out);
    return out;
}

void Value::WriteTo(std::string& out) const {
    switch (kind_) {
        case Kind::kNull: out += "null"; break;
        case Kind::kBool: out += bool_ ? "true" : "false"; break;
        case Kind::kNumber: out += std::to_string(number_); break;
        case Kind::kText: out += Quote(text_); break;
        case Kind::kArray: {
            out += '[';
            for (std::size_t i = 0; i < items_.size(); ++i) {
                if (i != 0) out += ',';
                items_[i].WriteTo(out);
            }
            out += ']';
            break;
        }
        case Kind::kObject: {
            out += '{';
            for (std::size_t i = 0; i < members_.size(); ++i) {
                if (i != 0) out += ',';
                out += Quote(Utf8FromNarrow(members_[i].first));
                out += ':';
                members_[i].second.WriteTo(out);
            }
            out += '}';
            break;
        }
    }
}

std::string Utf8FromNarrow(const std::string& narrow) {
    std::string utf8;
    if (wi::platform::NarrowToUtf8(narrow, utf8)) return utf8;
    // Character by character: what converts is kept, the rest becomes the replacement character.
    utf8.clear();
    std::size_t position = 0;
    while (position < narrow.size()) {
        const std::size_t length = wi::platform::NarrowCharLength(narrow, position);
        std::string one;
        if (wi::platform::NarrowToUtf8(narrow.substr(position, length), one)) {
            utf8 += one;
        } else {
            utf8 += "\xEF\xBF\xBD";
        }
        position += length;
    }
    return utf8;
}

std::string Quote(const std::string& utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        const unsigned char byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

}  // namespace cli::json
