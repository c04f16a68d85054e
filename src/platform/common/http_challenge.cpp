#include "platform/common/http_challenge.h"

#include <cctype>
#include <cstring>

namespace wi::platform {
namespace {

bool IsTokenChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 ||
           (c != '\0' && std::strchr("!#$%&'*+-.^_`|~", c) != nullptr);
}

bool IsToken68Char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 ||
           (c != '\0' && std::strchr("-._~+/", c) != nullptr);
}

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t') || byte == 0x7f;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {}

    bool AtEnd() const { return at_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[at_]; }
    std::size_t Position() const { return at_; }
    void MoveTo(std::size_t position) { at_ = position; }
    void Skip() { ++at_; }

    void SkipBlanks() {
        while (Peek() == ' ' || Peek() == '\t') ++at_;
    }

    std::string Token() {
        const std::size_t start = at_;
        while (!AtEnd() && IsTokenChar(text_[at_])) ++at_;
        return text_.substr(start, at_ - start);
    }

    // A token68 standing alone (followed by blanks and then a comma or the end); else nothing
    // is taken and the result is empty.
    std::string AloneToken68() {
        std::size_t end = at_;
        while (end < text_.size() && IsToken68Char(text_[end])) ++end;
        if (end == at_) return "";
        while (end < text_.size() && text_[end] == '=') ++end;
        std::size_t after = end;
        while (after < text_.size() && (text_[after] == ' ' || text_[after] == '\t')) ++after;
        if (after < text_.size() && text_[after] != ',') return "";
        std::string token = text_.substr(at_, end - at_);
        at_ = end;
        return token;
    }

    // A quoted string at the reader, its escapes resolved. False when it is unterminated or
    // holds a control character.
    bool Quoted(std::string& value) {
        ++at_;  // the opening quote
        value.clear();
        while (!AtEnd()) {
            char c = text_[at_++];
            if (c == '"') return true;
            if (c == '\\') {
                if (AtEnd()) return false;
                c = text_[at_++];
            }
            if (IsControl(c)) return false;
            value.push_back(c);
        }
        return false;
    }

private:
    const std::string& text_;
    std::size_t at_ = 0;
};

}  // namespace

const std::string* AuthChallenge::Param(const std::string& name) const {
    for (const auto& [key, value] : params) {
        if (key == name) return &value;
    }
    return nullptr;
}

bool ParseChallenges(const std::string& value, std::vector<AuthChallenge>& challenges) {
    Reader reader(value);
    for (;;) {
        while (reader.Peek() == ' ' || reader.Peek() == '\t' || reader.Peek() == ',') {
            reader.Skip();
        }
        if (reader.AtEnd()) return true;
        AuthChallenge challenge;
        challenge.scheme = Lower(reader.Token());
        if (challenge.scheme.empty()) return false;
        reader.SkipBlanks();
        challenge.token68 = reader.AloneToken68();
        // Parameters, until the text ends or a token without "=" starts the next challenge.
        while (challenge.token68.empty()) {
            while (reader.Peek() == ' ' || reader.Peek() == '\t' || reader.Peek() == ',') {
                reader.Skip();
            }
            if (reader.AtEnd()) break;
            const std::size_t start = reader.Position();
            const std::string name = Lower(reader.Token());
            if (name.empty()) return false;
            reader.SkipBlanks();
            if (reader.Peek() != '=') {
                reader.MoveTo(start);
                break;
            }
            reader.Skip();
            reader.SkipBlanks();
            std::string text;
            if (reader.Peek() == '"') {
                if (!reader.Quoted(text)) return false;
            } else {
                text = reader.Token();
                if (text.empty()) return false;
            }
            challenge.params.emplace_back(name, text);
        }
        challenges.push_back(std::move(challenge));
    }
}

}  // namespace wi::platform
