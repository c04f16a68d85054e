#include "platform/console_capture.h"

#include <mutex>
#include <thread>
#include <utility>

#include "platform/console.h"

namespace wi::console {

namespace {

// Lives as long as the process: the reader thread may still be waiting when the program ends.
struct Capture {
    std::unique_ptr<CapturePipe> pipe;
    std::mutex mutex;  // held for each read of the pipe, so that the bytes keep their order
    std::string taken;
    bool open = true;

    // Moves what the pipe holds into `taken`; under the mutex.
    void Drain() {
        if (open && !pipe->ReadAvailable(taken)) open = false;
    }
};

Capture* capture = nullptr;
std::once_flag started;

constexpr unsigned kWaitMilliseconds = 200;

}  // namespace

void StartCaptureReader(std::unique_ptr<CapturePipe> pipe) {
    std::call_once(started, [&] {
        capture = new Capture;
        capture->pipe = std::move(pipe);
        std::thread([] {
            for (;;) {
                const bool readable = capture->pipe->WaitReadable(kWaitMilliseconds);
                const std::lock_guard<std::mutex> lock(capture->mutex);
                if (readable) capture->Drain();
                if (!capture->open) return;
            }
        }).detach();
    });
}

std::string ReadCapturedOutput() {
    if (capture == nullptr) return std::string();
    std::fflush(stdout);
    const std::lock_guard<std::mutex> lock(capture->mutex);
    capture->Drain();
    return std::exchange(capture->taken, std::string());
}

}  // namespace wi::console
