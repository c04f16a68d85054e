// The command text the library hands to cmd, taken apart: "/c mkdir \"X\"",
// "/c attrib +h +s +r \"X\"", "/c rmdir /s /q \"X\"" and the short names md and rd.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wi::cmd {

enum class Verb { kMakeDirectory, kAttrib, kRemoveDirectory };

struct Command {
    Verb verb = Verb::kMakeDirectory;
    std::vector<std::string> paths;  // Windows paths, quotes removed
    std::uint32_t setAttributes = 0;    // attrib: +r +h +s
    std::uint32_t clearAttributes = 0;  // attrib: -r -h -s
    bool wholeTree = false;             // rmdir /s
};

// Splits the text into words at blanks; double quotes group blanks into a word and are removed.
// An unclosed quote, or one of & | < > ^ outside quotes (the shell's operators, which this
// interpreter does not run), is an error. The text is read by character of the narrow code page.
bool SplitWords(const std::string& text, std::vector<std::string>& words, std::string& error);

// Parses the whole command text; false with a one-line message for anything not understood.
bool ParseCommand(const std::string& text, Command& command, std::string& error);

}  // namespace wi::cmd
