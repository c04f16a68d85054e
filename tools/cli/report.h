// How a run of the CLI tells its results and its failure. Results are plain lines on standard
// output, or under --json one JSON document there at the end of the run. A failure is one line on
// standard error, "webinteractive: " and what is wrong and what to do, told when the run ends:
// only the first failure of a run is told, so a run says one thing.
#pragma once

#include <cstdio>
#include <string>

#include "json_output.h"
#include "platform/console.h"

namespace cli {

// Set once by main from --json.
void SetJsonOutput(bool json);
bool JsonOutput();
// Where results go: standard output, as it was before the library's writes there were taken
// aside. Set once by main.
void SetResultStream(std::FILE* stream);
std::FILE* ResultStream();

// A plain result line (printf-style, line end included by the caller); nothing under --json,
// where the command puts its results into Result() instead.
void Print(const char* format, ...) WI_PRINTF_CHECK(1, 2);

// The result object of the JSON document; each command sets its members.
json::Value& Result();

// Records the failure of the run (printf-style, no line end), unless one is recorded already.
void Fail(const char* format, ...) WI_PRINTF_CHECK(1, 2);
// The same for a failure of the run's own input (a file, a value, a record to choose): nothing
// reached the service, so no cause is looked for there.
void FailInput(const char* format, ...) WI_PRINTF_CHECK(1, 2);
bool FailedOnInput();
// Records it in place of any earlier one: for a cause found after the fact.
void ReplaceFailure(const std::string& message);

// Ends the run with this exit code: the failure line on standard error, then under --json the
// document {"command", "exit", "error" when failed, "result"} on the result stream. Returns the
// code. Only the first call tells anything: a run ends once.
int FinishRun(const std::string& command, int code);

}  // namespace cli
