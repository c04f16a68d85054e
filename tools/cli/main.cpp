// webinteractive: a host of the library on the command line.
#include <cstdio>
#include <cstring>
#include <string>

#include "command.h"
#include "webinteractive/webinteractive.h"

namespace {

void PrintStatusLine(const char* line, void*) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: webinteractive COMMAND [OPTIONS]\n\ncommands:\n");
    for (const cli::Command& command : cli::Commands()) {
        std::fprintf(out, "  %s %s\n      %s\n", command.name, command.synopsis, command.summary);
    }
    std::fprintf(out,
                 "\noptions:\n"
                 "  --prefix DIR   the machine prefix (default $WEBINTERACTIVE_PREFIX or "
                 "~/.webinteractive)\n"
                 "  --help         this text\n"
                 "\nexit status: 0 success, 1 failure, 2 usage error\n");
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

// Options come as "--name value" or "--name=value"; anything else is an operand.
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
    if (argc < 2) {
        PrintUsage(stderr);
        return cli::kExitUsage;
    }
    if (IsHelp(argv[1]) || std::strcmp(argv[1], "help") == 0) {
        PrintUsage(stdout);
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
        std::fprintf(stderr, "webinteractive: unknown command %s\n\n", argv[1]);
        PrintUsage(stderr);
        return cli::kExitUsage;
    }
    for (int i = 1 + words; i < argc; ++i) {
        if (IsHelp(argv[i])) {
            std::printf("usage: webinteractive %s %s\n  %s\n", command->name, command->synopsis,
                        command->summary);
            return cli::kExitOk;
        }
    }
    cli::Arguments arguments;
    std::string error;
    if (!ParseArguments(*command, argc - 1 - words, argv + 1 + words, arguments, error)) {
        std::fprintf(stderr, "webinteractive %s: %s\nusage: webinteractive %s %s\n",
                     command->name, error.c_str(), command->name, command->synopsis);
        return cli::kExitUsage;
    }

    IHelperInc::SetStatusSink(PrintStatusLine, nullptr);
    if (arguments.Has("--prefix")) IHostInc::SetMachinePrefix(arguments.Get("--prefix").c_str());
    return command->run(arguments);
}
