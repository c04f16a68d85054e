#include "command_line.h"

#include <cstring>

#include "platform/codepage.h"
#include "platform/files.h"

namespace wi::cmd {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c | 0x20);
    }
    return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// "+h" or "-R": the attribute bit, or 0 when the word is no attribute switch.
std::uint32_t AttributeSwitch(const std::string& word) {
    if (word.size() != 2 || (word[0] != '+' && word[0] != '-')) return 0;
    switch (word[1] | 0x20) {
        case 'r': return platform::kAttrReadOnly;
        case 'h': return platform::kAttrHidden;
        case 's': return platform::kAttrSystem;
        default: return 0;
    }
}

bool ParseAttrib(const std::vector<std::string>& arguments, Command& command, std::string& error) {
    for (const std::string& word : arguments) {
        if (std::uint32_t bit = AttributeSwitch(word)) {
            // The last switch for an attribute wins.
            std::uint32_t& add = word[0] == '+' ? command.setAttributes : command.clearAttributes;
            std::uint32_t& drop = word[0] == '+' ? command.clearAttributes : command.setAttributes;
            add |= bit;
            drop &= ~bit;
        } else if (!word.empty() && (word[0] == '/' || word[0] == '+' || word[0] == '-')) {
            error = "Invalid switch - " + word;
            return false;
        } else {
            command.paths.push_back(word);
        }
    }
    return true;
}

bool ParseRemoveDirectory(const std::vector<std::string>& arguments, Command& command,
                          std::string& error) {
    for (const std::string& word : arguments) {
        std::string lower = Lower(word);
        if (lower == "/s") {
            command.wholeTree = true;
        } else if (lower == "/q") {
            // Quiet: this interpreter never asks anyway.
        } else if (!word.empty() && word[0] == '/') {
            error = "Invalid switch - " + word;
            return false;
        } else {
            command.paths.push_back(word);
        }
    }
    return true;
}

bool ParseMakeDirectory(const std::vector<std::string>& arguments, Command& command,
                        std::string& error) {
    for (const std::string& word : arguments) {
        if (!word.empty() && word[0] == '/') {
            error = "Invalid switch - " + word;
            return false;
        }
        command.paths.push_back(word);
    }
    return true;
}

}  // namespace

bool SplitWords(const std::string& text, std::vector<std::string>& words, std::string& error) {
    words.clear();
    std::string word;
    bool inWord = false, quoted = false;
    // By character: in GBK the bytes of "|" and "^" are also trail bytes of double-byte
    // characters, which stay in their word.
    std::size_t length = 0;
    for (std::size_t position = 0; position < text.size(); position += length) {
        length = platform::NarrowCharLength(text, position);
        const char c = text[position];
        if (length > 1) {
            word.append(text, position, length);
            inWord = true;
        } else if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (quoted) {
            word += c;
        } else if (IsBlank(c)) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else if (std::strchr("&|<>^", c)) {
            error = std::string("Unsupported operator ") + c + " outside quotes";
            return false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) {
        error = "Unclosed quote";
        return false;
    }
    if (inWord) words.push_back(word);
    return true;
}

bool ParseCommand(const std::string& text, Command& command, std::string& error) {
    command = Command();
    std::vector<std::string> words;
    if (!SplitWords(text, words, error)) return false;
    if (words.empty() || Lower(words[0]) != "/c") {
        error = "Expected /c and a command";
        return false;
    }
    if (words.size() < 2) {
        error = "Missing command after /c";
        return false;
    }
    std::string verb = Lower(words[1]);
    std::vector<std::string> arguments(words.begin() + 2, words.end());
    bool parsed;
    if (verb == "mkdir" || verb == "md") {
        command.verb = Verb::kMakeDirectory;
        parsed = ParseMakeDirectory(arguments, command, error);
    } else if (verb == "attrib") {
        command.verb = Verb::kAttrib;
        parsed = ParseAttrib(arguments, command, error);
    } else if (verb == "rmdir" || verb == "rd") {
        command.verb = Verb::kRemoveDirectory;
        parsed = ParseRemoveDirectory(arguments, command, error);
    } else {
        error = "'" + words[1] + "' is not a command this interpreter knows";
        return false;
    }
    if (!parsed) return false;
    if (command.paths.empty()) {
        error = "The syntax of the command is incorrect.";
        return false;
    }
    return true;
}

}  // namespace wi::cmd
