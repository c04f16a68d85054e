// webinteractive: a host of the library on the command line.
#include <cstdio>
#include <string>

#include "command.h"
#include "command_line.h"
#include "failure_cause.h"
#include "interrupt_cancel.h"
#include "partial_files.h"
#include "platform/console.h"
#include "report.h"
#include "status_display.h"
#include "status_translation.h"
#include "webinteractive/webinteractive.h"

namespace {

const cli::Command* running = nullptr;

std::string VersionText() {
    return std::string("webinteractive " WI_CLI_VERSION " (library ") + IHostInc::GetVersion() +
           ")";
}

// A forced stop by Ctrl-C: what the run's transfers and copies left half-written goes, and the
// run ends as a failed one would, with the status SIGINT gives.
void StopRun() {
    cli::RemoveOwnPartialFiles();
    cli::CloseStatus();
    const std::string name = running != nullptr ? running->name : "webinteractive";
    cli::ReplaceFailure("interrupted: " + name +
                        " was stopped by Ctrl-C and what it had half-written removed; run it "
                        "again to start over");
    cli::FinishRun(running != nullptr ? running->name : "", cli::kExitInterrupted);
}

}  // namespace

int main(int argc, char** argv) {
    const cli::Invocation invocation = cli::ReadCommandLine(argc, argv, VersionText());
    const cli::Arguments& arguments = invocation.arguments;
    cli::SetJsonOutput(arguments.json);
    const std::string name = invocation.command != nullptr ? invocation.command->name : "";
    if (invocation.outcome == cli::Invocation::Outcome::kHelp) {
        std::fputs(invocation.text.c_str(), stdout);
        return cli::kExitOk;
    }
    if (invocation.outcome == cli::Invocation::Outcome::kUsage) {
        cli::ReplaceFailure(invocation.text);
        return cli::FinishRun(name, cli::kExitUsage);
    }

    // Standard output carries the results alone: what the library writes there (the upload's
    // diagnostic lines) is taken aside and shown with the status lines on standard error.
    if (std::FILE* results = wi::console::CaptureStandardOutput()) cli::SetResultStream(results);
    cli::ChooseStatusLanguage();
    cli::ShowStatus(arguments.quiet);
    if (arguments.Has("--prefix")) IHostInc::SetMachinePrefix(arguments.Get("--prefix").c_str());
    running = invocation.command;
    cli::CatchInterrupts(StopRun);

    int code = invocation.command->run(arguments);
    cli::CloseStatus();
    // An operation that completed before it saw the cancel has done its work: that stands.
    if (cli::InterruptCancel::Interrupted() && code != cli::kExitOk) {
        cli::ReplaceFailure("cancelled: " + name + " was stopped by Ctrl-C; run it again to "
                            "start over");
        code = cli::kExitFailure;
    } else if (code == cli::kExitFailure) {
        cli::ExplainServiceFailure(*invocation.command, arguments);
    }
    return cli::FinishRun(name, code);
}
