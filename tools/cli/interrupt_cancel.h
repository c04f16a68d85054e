// Ctrl-C during a run of the CLI. The first SIGINT during an operation that takes a cancel event
// signals the event: the operation ends cleanly and the CLI says "cancelled" (exit status 1).
// Any other SIGINT (a second one, or the first while no cancellable operation runs) stops the
// program at once: the stop action runs (it removes the run's partial files and says so), then
// the program ends as SIGINT ends one (exit status 130). A program that was started with SIGINT
// ignored (a background job of a script) leaves it so.
#pragma once

namespace cli {

// Catches SIGINT from now until the program ends. `stop` runs on a forced stop, on the thread
// that watches for SIGINT, while the operation may still be running.
void CatchInterrupts(void (*stop)());

// A cancel event for one operation, signalled by the first Ctrl-C while it lives.
class InterruptCancel {
public:
    InterruptCancel();
    ~InterruptCancel();
    InterruptCancel(const InterruptCancel&) = delete;
    InterruptCancel& operator=(const InterruptCancel&) = delete;

    // The event to pass as the operation's cancelEvent.
    void* event() const { return event_; }

    // Whether a SIGINT has arrived during the run.
    static bool Interrupted();

private:
    void* event_;
};

}  // namespace cli
