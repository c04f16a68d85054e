// The host CLI run through the shell on a test's machine, as a user runs it: its standard output
// and standard error kept apart, status lines in English unless the test asks for a locale.
#pragma once

#include <string>

#include "support/peers.h"
#include "support/temp_machine.h"

namespace wi::test {

struct ShellRun {
    std::string out;
    std::string err;
    int exit = -1;
};

class CliShell {
public:
    explicit CliShell(const TempMachine& machine) : machine_(machine) {}

    // The CLI's command line on the machine.
    std::string Command(const std::string& arguments) const {
        return std::string(WI_CLI) + " " + arguments + " --prefix '" + machine_.Prefix() + "'";
    }

    // `environment`: assignments for env(1) ("-u LC_ALL LANG=zh_CN.UTF-8").
    ShellRun Run(const std::string& arguments,
                 const std::string& environment = "LC_ALL=C.UTF-8 LANGUAGE=") const {
        const std::string out = machine_.Root() + "/cli.out";
        const std::string err = machine_.Root() + "/cli.err";
        ShellRun run;
        run.exit = std::stoi(RunShell("env " + environment + " " + Command(arguments) + " >'" +
                                      out + "' 2>'" + err + "'; echo $?"));
        run.out = TempMachine::ReadHostFile(out);
        run.err = TempMachine::ReadHostFile(err);
        return run;
    }

    // Starts the CLI in the background, waits until `path` (a shell pattern of host paths)
    // names a file, sends it each of the signals in `signals` ("INT INT", a tenth of a second
    // apart, so that they are not merged into one), and waits for its end. The exit status is
    // as the shell tells it: 130 for a program SIGINT ended.
    ShellRun Interrupt(const std::string& arguments, const std::string& path,
                       const std::string& signals) const {
        const std::string out = machine_.Root() + "/cli.out";
        const std::string err = machine_.Root() + "/cli.err";
        // The shell starts its background job with SIGINT ignored, which the CLI keeps: env
        // gives it the default back, as a terminal's foreground job has it.
        const std::string script =
            "env --default-signal=INT LC_ALL=C.UTF-8 " + Command(arguments) + " >'" + out +
            "' 2>'" + err + "' & pid=$!; for i in $(seq 400); do ls " + path +
            " >/dev/null 2>&1 && break; sleep 0.05; done; for s in " + signals +
            "; do kill -$s $pid; sleep 0.1; done; wait $pid; echo $?";
        ShellRun run;
        run.exit = std::stoi(RunShell(script));
        run.out = TempMachine::ReadHostFile(out);
        run.err = TempMachine::ReadHostFile(err);
        return run;
    }

private:
    const TempMachine& machine_;
};

}  // namespace wi::test
