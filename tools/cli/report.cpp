#include "report.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <vector>

#include "command.h"

namespace cli {

namespace {

bool jsonOutput = false;
std::FILE* resultStream = stdout;
// A forced stop by Ctrl-C tells the failure and ends the run from another thread.
std::mutex mutex;
std::string failure;
bool failureFromInput = false;
bool finished = false;

json::Value& ResultObject() {
    static json::Value result = json::Value::object();
    return result;
}

std::string Format(const char* format, std::va_list arguments) {
    std::va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length <= 0) return std::string();
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, arguments);
    return std::string(text.data(), static_cast<std::size_t>(length));
}

// One line: the line ends inside a message (an exception's text) become blanks.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

}  // namespace

void SetJsonOutput(bool json) { jsonOutput = json; }
bool JsonOutput() { return jsonOutput; }

void SetResultStream(std::FILE* stream) { resultStream = stream; }
std::FILE* ResultStream() { return resultStream; }

void Print(const char* format, ...) {
    if (jsonOutput) return;
    std::va_list arguments;
    va_start(arguments, format);
    std::vfprintf(resultStream, format, arguments);
    va_end(arguments);
}

json::Value& Result() { return ResultObject(); }

void Fail(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    const std::string text = OneLine(Format(format, arguments));
    va_end(arguments);
    const std::lock_guard<std::mutex> lock(mutex);
    if (failure.empty()) failure = text;
}

void FailInput(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    const std::string text = OneLine(Format(format, arguments));
    va_end(arguments);
    const std::lock_guard<std::mutex> lock(mutex);
    if (!failure.empty()) return;
    failure = text;
    failureFromInput = true;
}

bool FailedOnInput() {
    const std::lock_guard<std::mutex> lock(mutex);
    return failureFromInput;
}

void ReplaceFailure(const std::string& message) {
    const std::lock_guard<std::mutex> lock(mutex);
    failure = OneLine(message);
    failureFromInput = false;
}

int FinishRun(const std::string& command, int code) {
    const std::lock_guard<std::mutex> lock(mutex);
    if (finished) return code;  // a forced stop ended the run already, or the reverse
    finished = true;
    std::fflush(resultStream);
    const std::string error = failure.empty() ? "the operation failed" : failure;
    if (code != 0) std::fprintf(stderr, "webinteractive: %s\n", error.c_str());
    if (jsonOutput) {
        json::Value document = json::Value::object();
        document["command"] = json::Text(command);
        document["exit"] = code;
        if (code != 0) document["error"] = json::Text(error);
        // A run stopped by Ctrl-C has no results: the operation may still be filling them.
        document["result"] = code == kExitInterrupted ? json::Value::object() : ResultObject();
        std::fprintf(resultStream, "%s\n", json::Write(document).c_str());
    }
    std::fflush(resultStream);
    return code;
}

}  // namespace cli
