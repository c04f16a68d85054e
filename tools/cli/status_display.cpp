#include "status_display.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "platform/console.h"
#include "progress_line.h"
#include "status_translation.h"
#include "webinteractive/status.h"

namespace cli {

namespace {

using wi::console::StandardStream;

enum class StatusMode {
    kQuiet,  // no status lines, no progress
    kLines,  // lines, each transfer told once at its end
    kBars,   // lines, with a transfer's progress redrawn in place on one line
};

// How often the width of the terminal is looked at while a bar is drawn.
constexpr std::chrono::milliseconds kResizeLook(200);

class Display {
public:
    void Start(bool quiet) {
        const std::lock_guard<std::mutex> lock(mutex_);
        columns_ = wi::console::TerminalColumns(StandardStream::kError);
        if (quiet) {
            mode_ = StatusMode::kQuiet;
        } else {
            mode_ = wi::console::EnableLineRedrawing(StandardStream::kError) ? StatusMode::kBars
                                                                               : StatusMode::kLines;
        }
        if (mode_ == StatusMode::kBars && !watcher_.joinable()) {
            watcher_ = std::thread([this] { WatchWidth(); });
        }
    }

    ~Display() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        if (watcher_.joinable()) watcher_.join();
    }

    void Name(const std::string& request, const std::string& file) {
        const std::lock_guard<std::mutex> lock(mutex_);
        requestName_ = request;
        fileName_ = file;
    }

    void Show(const std::string& line) {
        const std::lock_guard<std::mutex> lock(mutex_);
        ShowCaptured();
        if (mode_ == StatusMode::kQuiet) return;
        TransferProgress progress;
        std::string name;
        bool stored = false;
        if (ParseProgressLine(line, progress)) {
            progress.name = Shown(progress.name);
            if (open_ && progress.name != last_.name) EndBar();
            last_ = progress;
            if (mode_ == StatusMode::kBars) Draw(ProgressBar(last_, columns_));
        } else if (ParseTransferEnd(line, name, stored)) {
            name = Shown(name);
            // A transfer that ended within its first second sent no progress line.
            if (last_.name != name) last_ = TransferProgress{name, 0, 0, 0};
            if (mode_ == StatusMode::kBars) {
                Draw(FinishedBar(last_, stored, columns_));
                EndBar();
            } else {
                Write(FinishedLine(last_, stored));
            }
            last_ = TransferProgress{};
        } else {
            EndBar();
            Write(TranslateStatusLine(line));
        }
    }

    void Close() {
        const std::lock_guard<std::mutex> lock(mutex_);
        ShowCaptured();
        EndBar();
    }

private:
    // The library's own writes to standard output, each line a status line of its own. The
    // library starts its diagnostic lines with a line end rather than ending them with one: what
    // it wrote up to now counts as ended, since it has moved on to send a status line or return.
    // Blank lines are dropped.
    void ShowCaptured() {
        const std::string written = wi::console::ReadCapturedOutput();
        if (mode_ == StatusMode::kQuiet) return;
        std::string::size_type start = 0;
        while (start < written.size()) {
            std::string::size_type end = written.find('\n', start);
            if (end == std::string::npos) end = written.size();
            std::string line = written.substr(start, end - start);
            start = end + 1;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty()) continue;
            EndBar();
            Write(line);
        }
    }

    std::string Shown(const std::string& name) const {
        if (name == "RequestTemp") return requestName_.empty() ? name : requestName_;
        return fileName_.empty() ? name : fileName_;
    }

    void Write(const std::string& line) {
        std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
    }

    // Draws the bar over the current line; "\x1b[K" clears what a longer drawing left behind.
    void Draw(const std::string& bar) {
        std::fprintf(stderr, "\r%s\x1b[K", bar.c_str());
        std::fflush(stderr);
        open_ = true;
    }

    void EndBar() {
        if (!open_) return;
        std::fputc('\n', stderr);
        std::fflush(stderr);
        open_ = false;
    }

    // While a bar is drawn, a change of the terminal's width draws it again to the new width.
    void WatchWidth() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!done_) {
            wake_.wait_for(lock, kResizeLook);
            const int columns = wi::console::TerminalColumns(StandardStream::kError);
            if (columns == columns_) continue;
            columns_ = columns;
            if (open_ && !last_.name.empty()) Draw(ProgressBar(last_, columns_));
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::thread watcher_;
    bool done_ = false;
    StatusMode mode_ = StatusMode::kLines;
    int columns_ = 0;
    bool open_ = false;       // a bar is drawn and its line not yet ended
    TransferProgress last_;   // the transfer under way, as far as its progress lines told
    std::string requestName_;
    std::string fileName_;
};

Display& TheDisplay() {
    static Display display;
    return display;
}

void ShowLine(const char* line, void*) { TheDisplay().Show(line); }

}  // namespace

void ShowStatus(bool quiet) {
    TheDisplay().Start(quiet);
    IHelperInc::SetStatusSink(ShowLine, nullptr);
}

void NameTransfers(const std::string& request, const std::string& file) {
    TheDisplay().Name(request, file);
}

void CloseStatus() { TheDisplay().Close(); }

}  // namespace cli
