// The CLI's command line, read by CLI11: the global options (before or after the command), the
// commands of the table as subcommands of one or two words with their options, the help pages,
// --version, and for a mistyped command or option a "did you mean".
#pragma once

#include <string>
#include <vector>

#include "command.h"

namespace cli {

struct Invocation {
    enum class Outcome {
        kRun,    // run `command` with `arguments`
        kHelp,   // print `text` (a help page or the version) on standard output, exit 0
        kUsage,  // wrong usage: `text` says what is wrong and where to look, exit 2
    };
    Outcome outcome = Outcome::kUsage;
    const Command* command = nullptr;  // the command run, or the one a usage error is about
    Arguments arguments;               // --json and --quiet are set for every outcome
    std::string text;
};

// `version` is the text --version prints.
Invocation ReadCommandLine(int argc, const char* const* argv, const std::string& version);

// The names among `known` that `word` is probably a mistyping of (a few edits away, or a
// beginning of them), best first; none when no name is close.
std::vector<std::string> Suggestions(const std::string& word,
                                     const std::vector<std::string>& known);

}  // namespace cli
