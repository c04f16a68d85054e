// Status lines: formatting and delivery to the host's sink.
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "webinteractive/status.h"

namespace {

void WriteToStandardError(const char* line, void*) {
    std::fputs(line, stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

struct Sink {
    IHelperInc::StatusSink function = WriteToStandardError;
    void* context = nullptr;
};

std::mutex sinkMutex;
Sink installedSink;

// The sink is copied out so that it runs without the lock: a sink may itself install another.
void Deliver(const char* line) {
    Sink sink;
    {
        std::lock_guard<std::mutex> lock(sinkMutex);
        sink = installedSink;
    }
    sink.function(line, sink.context);
}

// printf-style formatting into a buffer that grows until the whole line fits.
std::string FormatLine(const char* format, va_list arguments) {
    std::vector<char> buffer(256);
    for (;;) {
        va_list copy;
        va_copy(copy, arguments);
        int needed = std::vsnprintf(buffer.data(), buffer.size(), format, copy);
        va_end(copy);
        if (needed < 0) return std::string();
        if (static_cast<std::size_t>(needed) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(needed));
        }
        buffer.resize(static_cast<std::size_t>(needed) + 1);
    }
}

}  // namespace

namespace IHelperInc {

void MakeStatus(const char* format, ...) {
    if (format == nullptr) format = "";
    va_list arguments;
    va_start(arguments, format);
    std::string line = FormatLine(format, arguments);
    va_end(arguments);
    Deliver(line.c_str());
}

void SetStatus(std::string& line) { Deliver(line.c_str()); }

void SetStatusSink(StatusSink sink, void* context) {
    std::lock_guard<std::mutex> lock(sinkMutex);
    installedSink.function = sink != nullptr ? sink : WriteToStandardError;
    installedSink.context = sink != nullptr ? context : nullptr;
}

}  // namespace IHelperInc
