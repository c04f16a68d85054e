#include "status_display.h"

#include <cstdio>
#include <string>

#include "platform/console.h"
#include "progress_line.h"
#include "webinteractive/status.h"

namespace cli {

namespace {

enum class StatusMode {
    kQuiet,  // no status lines, no progress
    kLines,  // every line as the library sends it
    kBars,   // plain lines, with a transfer's progress redrawn in place on one line
};

struct Display {
    StatusMode mode = StatusMode::kLines;
    std::FILE* stream = stdout;
    int columns = 0;
    bool barOpen = false;        // a bar is drawn and its line not yet ended
    TransferProgress last;       // what the bar shows
};

Display display;

void EndBar() {
    if (!display.barOpen) return;
    std::fputc('\n', display.stream);
    display.barOpen = false;
}

// Draws the bar over the current line; "\x1b[K" clears what a longer drawing left behind.
void DrawBar(const std::string& text) {
    std::fprintf(display.stream, "\r%s\x1b[K", text.c_str());
    display.barOpen = true;
}

void ShowLine(const char* line, void*) {
    if (display.mode == StatusMode::kQuiet) return;
    if (display.mode == StatusMode::kBars) {
        TransferProgress progress;
        std::string name;
        bool stored = false;
        if (ParseProgressLine(line, progress)) {
            if (display.barOpen && progress.name != display.last.name) EndBar();
            display.last = progress;
            DrawBar(ProgressBar(progress, display.columns));
            std::fflush(display.stream);
            return;
        }
        if (ParseTransferEnd(line, name, stored)) {
            if (!display.barOpen || display.last.name != name) {
                EndBar();
                display.last = TransferProgress{name, 0, 0, 0};
            }
            DrawBar(FinishedBar(display.last, stored, display.columns));
            EndBar();
            std::fflush(display.stream);
            return;
        }
        EndBar();
    }
    std::fprintf(display.stream, "%s\n", line);
    std::fflush(display.stream);
}

}  // namespace

void ShowStatus(bool quiet, bool toStandardError) {
    EndBar();
    std::fflush(display.stream);
    const auto stream = toStandardError ? wi::platform::StandardStream::kError
                                        : wi::platform::StandardStream::kOutput;
    display.stream = toStandardError ? stderr : stdout;
    display.columns = wi::platform::TerminalColumns(stream);
    if (quiet) {
        display.mode = StatusMode::kQuiet;
    } else {
        display.mode = wi::platform::EnableLineRedrawing(stream) ? StatusMode::kBars
                                                                  : StatusMode::kLines;
    }
    IHelperInc::SetStatusSink(ShowLine, nullptr);
}

void MoveStatusToStandardError() {
    ShowStatus(display.mode == StatusMode::kQuiet, /*toStandardError=*/true);
}

void CloseStatus() {
    EndBar();
    std::fflush(display.stream);
}

}  // namespace cli
