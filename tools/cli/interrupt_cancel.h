// Ctrl-C during an operation that takes a cancel event: the first SIGINT signals the event, so
// the operation ends cleanly and the CLI says "cancelled"; a second one ends the program at once.
// Operations without a cancel event keep the default: Ctrl-C ends the program. A program that
// was started with SIGINT ignored leaves it so.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

namespace cli {

class InterruptCancel {
public:
    // Creates the event, catches SIGINT and starts the thread that signals the event.
    InterruptCancel();
    // Stops the thread, gives SIGINT back its default and frees the event.
    ~InterruptCancel();
    InterruptCancel(const InterruptCancel&) = delete;
    InterruptCancel& operator=(const InterruptCancel&) = delete;

    // The event to pass as the operation's cancelEvent.
    void* event() const { return event_; }

    // Whether a SIGINT has arrived while an operation was cancellable.
    static bool Interrupted();

private:
    void Watch();

    void* event_;
    bool ignored_ = false;  // SIGINT was ignored when the program started
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread watcher_;
};

}  // namespace cli
