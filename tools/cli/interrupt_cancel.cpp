#include "interrupt_cancel.h"

#include <atomic>
#include <chrono>
#include <csignal>

#include "webinteractive/host.h"

namespace cli {

namespace {

// Set by the signal handler, read by the watcher thread: a lock-free atomic is safe in both.
std::atomic<std::sig_atomic_t> interrupted{0};
static_assert(std::atomic<std::sig_atomic_t>::is_always_lock_free,
              "the interrupt flag must be usable in a signal handler");

extern "C" void OnInterrupt(int) {
    interrupted.store(1);
    // A second Ctrl-C is not caught: it ends the program as it would without us.
    std::signal(SIGINT, SIG_DFL);
}

// How often the watcher looks at the flag: a cancelled operation notices its event within the
// operation's own poll, so this adds little to the time Ctrl-C takes.
constexpr std::chrono::milliseconds kWatchInterval(50);

}  // namespace

InterruptCancel::InterruptCancel() : event_(IHostInc::CreateCancelEvent(/*manualReset=*/true)) {
    // A program started with SIGINT ignored (a background job of a script) keeps it ignored:
    // a Ctrl-C meant for its starter is not meant for it.
    if (std::signal(SIGINT, OnInterrupt) == SIG_IGN) {
        std::signal(SIGINT, SIG_IGN);
        ignored_ = true;
    }
    watcher_ = std::thread([this] { Watch(); });
}

InterruptCancel::~InterruptCancel() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        done_ = true;
    }
    wake_.notify_all();
    watcher_.join();
    std::signal(SIGINT, ignored_ ? SIG_IGN : SIG_DFL);
    IHostInc::FreeCancelEvent(event_);
}

bool InterruptCancel::Interrupted() { return interrupted.load() != 0; }

void InterruptCancel::Watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!done_) {
        if (interrupted.load() != 0) {
            IHostInc::SignalCancelEvent(event_);
            return;
        }
        wake_.wait_for(lock, kWatchInterval);
    }
}

}  // namespace cli
