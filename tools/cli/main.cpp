// webinteractive: a host of the library on the command line.
#include <cstdio>
#include <cstring>
#include <string>

#include "command.h"
#include "interrupt_cancel.h"
#include "platform/console.h"
#include "reachability.h"
#include "report.h"
#include "status_display.h"
#include "webinteractive/webinteractive.h"

namespace {

const char kGlobalOptions[] =
    "global options (after the command's name):\n"
    "  --prefix DIR   the machine prefix of a posix host (default $WEBINTERACTIVE_PREFIX or\n"
    "                 ~/.webinteractive); Windows has none and ignores it\n"
    "  --quiet        no status lines and no progress: only results and errors\n"
    "  --json         the results as one JSON document on standard output (status lines go to\n"
    "                 standard error)\n"
    "  --help         the command's usage, with an example\n";

const char kExitStatus[] =
    "exit status: 0 success, 1 failed operation (one line on standard error says why),\n"
    "2 wrong usage; Ctrl-C during a transfer or a protection cancels it (exit status 1)\n";

void PrintUsage() {
    std::printf("usage: webinteractive COMMAND [OPTIONS]\n\ncommands:\n");
    for (const cli::Command& command : cli::Commands()) {
        std::printf("  %s %s\n      %s\n", command.name, command.synopsis, command.summary);
    }
    std::printf("\n%s\n%s\nwebinteractive COMMAND --help shows a command with an example.\n",
                kGlobalOptions, kExitStatus);
}

void PrintCommandHelp(const cli::Command& command) {
    std::printf("usage: webinteractive %s %s\n\n  %s\n\nexample:\n  %s\n\n%s\n%s", command.name,
                command.synopsis, command.summary, command.example, kGlobalOptions, kExitStatus);
}

bool IsHelp(const char* argument) {
    return std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0;
}

const cli::Command* FindCommand(const std::string& name) {
    for (const cli::Command& command : cli::Commands()) {
        if (name == command.name) return &command;
    }
    return nullptr;
}

// Misuse: one line saying what is wrong and where to look, exit status 2.
int Misuse(const std::string& message) {
    std::fprintf(stderr, "webinteractive: %s\n", message.c_str());
    return cli::kExitUsage;
}

// Options come as "--name value" or "--name=value"; --quiet and --json stand alone; anything
// else is an operand.
bool ParseArguments(const cli::Command& command, int argc, char** argv, cli::Arguments& parsed,
                    std::string& error) {
    for (int i = 0; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--quiet" || argument == "--json") {
            (argument == "--quiet" ? parsed.quiet : parsed.json) = true;
            continue;
        }
        if (argument.compare(0, 2, "--") != 0) {
            parsed.operands.push_back(argument);
            continue;
        }
        std::string value;
        bool hasValue = false;
        std::string::size_type equals = argument.find('=');
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
            argument.erase(equals);
            hasValue = true;
        }
        bool known = false;
        for (const std::string& option : command.options) known = known || option == argument;
        if (!known) {
            error = "unknown option " + argument;
            return false;
        }
        if (!hasValue) {
            if (i + 1 == argc) {
                error = argument + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        parsed.options[argument] = value;
    }
    for (const std::string& option : command.required) {
        if (!parsed.Has(option)) {
            error = "missing " + option;
            return false;
        }
    }
    if (!parsed.operands.empty()) {
        error = "unexpected argument " + parsed.operands.front();
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Misuse("no command given: see webinteractive --help for the commands");
    if (IsHelp(argv[1]) || std::strcmp(argv[1], "help") == 0) {
        PrintUsage();
        return cli::kExitOk;
    }
    // A command may be named by two words ("filelist save"); its arguments follow them.
    int words = 1;
    const cli::Command* command = nullptr;
    if (argc > 2) command = FindCommand(std::string(argv[1]) + " " + argv[2]);
    if (command != nullptr) {
        words = 2;
    } else {
        command = FindCommand(argv[1]);
    }
    if (command == nullptr) {
        // A family's name alone ("filelist") gets its commands named.
        std::string family;
        for (const cli::Command& known : cli::Commands()) {
            const std::string name = known.name;
            if (name.compare(0, std::strlen(argv[1]) + 1, std::string(argv[1]) + " ") == 0) {
                family += (family.empty() ? "" : ", ") + name;
            }
        }
        std::string name = argv[1];
        if (argc > 2 && std::strncmp(argv[2], "--", 2) != 0) name += std::string(" ") + argv[2];
        return Misuse("unknown command \"" + name + "\": " +
                      (family.empty() ? "see webinteractive --help for the commands"
                                      : "did you mean " + family + "?"));
    }
    for (int i = 1 + words; i < argc; ++i) {
        if (IsHelp(argv[i])) {
            PrintCommandHelp(*command);
            return cli::kExitOk;
        }
    }
    cli::Arguments arguments;
    std::string error;
    if (!ParseArguments(*command, argc - 1 - words, argv + 1 + words, arguments, error)) {
        return Misuse(std::string(command->name) + ": " + error + " (usage: webinteractive " +
                      command->name + " " + command->synopsis + ")");
    }

    // Under --json standard output carries the document alone: what the library writes there
    // (the upload's diagnostic lines) goes to standard error with the status lines.
    std::FILE* results = stdout;
    if (arguments.json) {
        cli::SetJsonOutput(true);
        if (std::FILE* original = wi::platform::DivertStandardOutput()) results = original;
    }
    // Status lines go where the results do not: standard output, or standard error under --json.
    cli::ShowStatus(arguments.quiet, /*toStandardError=*/arguments.json);
    if (arguments.Has("--prefix")) IHostInc::SetMachinePrefix(arguments.Get("--prefix").c_str());

    int code = command->run(arguments);
    cli::CloseStatus();
    // An operation that completed before it saw the cancel has done its work: that stands.
    if (cli::InterruptCancel::Interrupted() && code != cli::kExitOk) {
        cli::ReplaceFailure(std::string("cancelled: ") + command->name +
                            " was stopped by Ctrl-C; run it again to start over");
        code = cli::kExitFailure;
    } else if (code == cli::kExitFailure) {
        cli::ExplainUnreachableService(*command, arguments);
    }
    return cli::FinishRun(command->name, code, results);
}
