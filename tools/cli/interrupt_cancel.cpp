#include "interrupt_cancel.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "command.h"
#include "webinteractive/host.h"

namespace cli {

namespace {

// Set by the signal handler, read by the watcher thread: lock-free atomics are safe in both.
std::atomic<int> interrupts{0};
static_assert(std::atomic<int>::is_always_lock_free,
              "the interrupt count must be usable in a signal handler");

// A third Ctrl-C ends the program here and now, should the stop itself hang.
constexpr int kLastStraw = 3;

extern "C" void OnInterrupt(int) {
    if (interrupts.fetch_add(1) + 1 >= kLastStraw) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
        return;
    }
    // Some systems give the default back before calling the handler.
    std::signal(SIGINT, OnInterrupt);
}

// How often the watcher looks at the count: a cancelled operation notices its event within its
// own poll, so this adds little to the time Ctrl-C takes.
constexpr std::chrono::milliseconds kWatchInterval(50);

// What the watcher shares with the operations; never destroyed, as the watcher runs until the
// program ends.
struct Shared {
    std::mutex mutex;
    void* currentEvent = nullptr;  // the event of the cancellable operation under way
    bool eventSignalled = false;
};
Shared& shared = *new Shared;

[[noreturn]] void StopNow(void (*stop)()) {
    stop();
    std::signal(SIGINT, SIG_DFL);
    std::raise(SIGINT);
    std::_Exit(kExitInterrupted);  // where SIGINT does not end a program (Windows)
}

void Watch(void (*stop)()) {
    for (;;) {
        std::this_thread::sleep_for(kWatchInterval);
        const int count = interrupts.load();
        if (count == 0) continue;
        {
            const std::lock_guard<std::mutex> lock(shared.mutex);
            if (count == 1 && shared.currentEvent != nullptr) {
                if (!shared.eventSignalled) IHostInc::SignalCancelEvent(shared.currentEvent);
                shared.eventSignalled = true;
                continue;
            }
            if (count == 1 && shared.eventSignalled) continue;  // the cancelled one is ending
        }
        StopNow(stop);
    }
}

}  // namespace

void CatchInterrupts(void (*stop)()) {
    if (std::signal(SIGINT, OnInterrupt) == SIG_IGN) {
        std::signal(SIGINT, SIG_IGN);
        return;
    }
    std::thread(Watch, stop).detach();
}

InterruptCancel::InterruptCancel() : event_(IHostInc::CreateCancelEvent(/*manualReset=*/true)) {
    const std::lock_guard<std::mutex> lock(shared.mutex);
    shared.currentEvent = event_;
    // A Ctrl-C that came before the operation began cancels it at once.
    if (interrupts.load() == 1 && !shared.eventSignalled) {
        IHostInc::SignalCancelEvent(event_);
        shared.eventSignalled = true;
    }
}

InterruptCancel::~InterruptCancel() {
    {
        const std::lock_guard<std::mutex> lock(shared.mutex);
        shared.currentEvent = nullptr;
    }
    IHostInc::FreeCancelEvent(event_);
}

bool InterruptCancel::Interrupted() { return interrupts.load() != 0; }

}  // namespace cli
