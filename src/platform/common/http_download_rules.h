// What the download backends share: the stall limit, which answers carry the file, the bound on
// the body, the body written beside the file until it is complete, and the end of a transfer that
// wakes its waiters. The backends keep the requests themselves.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "platform/http.h"

namespace wi::platform {

// The stall limit of a download started now: kDownloadStallSeconds, or what a test has set.
unsigned DownloadStallSeconds();

// Only the body of a successful (2xx) answer is the file.
bool IsSuccessStatus(long status);

// Less than a byte a second over the stall limit fails a download: counts the bytes of each
// window of that many seconds, for a backend whose library does not watch this itself.
class StallWatch {
public:
    explicit StallWatch(unsigned seconds);
    // After bytes arrived: false when a window that has ended brought fewer bytes than seconds.
    bool Received(std::uint64_t bytes);

private:
    using Clock = std::chrono::steady_clock;
    unsigned seconds_;
    Clock::time_point windowStart_;
    std::uint64_t windowBytes_ = 0;
};

// The state of one download that both backends keep the same way. The backend's Work runs on the
// worker thread (or its RunFor on the waiting caller's), feeds the body through TakeBody and ends
// the transfer with Finish.
class DownloadTransferBase : public DownloadTransfer {
public:
    void Cancel() override;
    void LimitBody(std::uint64_t maxBytes) override { limit_ = maxBytes; }
    bool IsFinished() const override { return finished_.load(); }
    bool GetResult() const override { return finished_.load() && result_.load(); }
    int GetStatusCode() const override { return status_.load(); }
    std::int64_t GetTotalSize() const override { return total_.load(); }
    std::int64_t GetDownloadedSize() const override { return downloaded_.load(); }
    void RunWhileWaited() override { whileWaited_ = true; }
    bool WaitForEnd(unsigned milliseconds) override;

protected:
    // The backend's transfer, run by the worker thread.
    virtual void Work() = 0;
    // Whether the backend can advance its transfer in slices on the waiting thread (RunFor).
    virtual bool CanRunWhileWaited() const { return false; }
    // Advances the transfer for at most that long on the calling thread, and ends it (Finish)
    // when it is over.
    virtual void RunFor(unsigned milliseconds) { static_cast<void>(milliseconds); }
    // Wakes the worker when a cancel comes, wherever it waits.
    virtual void WakeWorker() = 0;
    // Starts the worker, unless the transfer runs while waited; kDownloadNoWorker when no
    // thread can be had.
    DownloadStartError StartWorker();
    // Cancels the transfer and waits for the worker's end: the backend's destructor calls it
    // before its own members go.
    void StopWorker();
    bool Cancelled() const { return cancelled_.load(); }
    // The bound set by LimitBody (0: none); fixed once the worker runs.
    std::uint64_t BodyLimit() const { return limit_; }
    // Before the worker starts: where the file goes.
    void SetLocalPath(const std::string& path) { localPath_ = path; }
    // The status of the answer last received.
    void SetStatus(long status) { status_.store(static_cast<int>(status)); }
    // The length a successful answer announces (none when negative): it becomes the total size;
    // false when it exceeds the bound, so that the transfer fails before the body.
    bool AnnounceLength(std::int64_t length);
    // A piece of a successful answer's body, written beside the file. False when it takes the
    // body beyond the bound or cannot be written: the transfer then fails.
    bool TakeBody(const char* data, std::size_t bytes);
    // The complete body takes the file's place (an empty body still makes an empty file), unless
    // fewer bytes arrived than announced (a length of -1 announces none). Closed before anyone is
    // told of the end.
    bool CommitBody(std::int64_t announced = -1);
    // The worker's last step: drops a body that did not take the file's place, keeps the result
    // and wakes the waiters.
    void Finish(bool stored);

private:
    std::thread worker_;
    bool whileWaited_ = false;  // set by RunWhileWaited; fixed by Start
    bool onCaller_ = false;     // the transfer runs in WaitForEnd instead of on a worker
    std::atomic<bool> cancelled_{false};
    std::string localPath_;
    std::uint64_t limit_ = 0;
    // Writes the collected body bytes to the file; false when that failed.
    bool WritePending();

    std::unique_ptr<PendingFile> file_;  // used by the thread that runs the transfer only
    std::vector<char> pending_;          // body bytes not yet written to file_, likewise
    std::atomic<bool> finished_{false};
    std::atomic<bool> result_{false};
    std::atomic<int> status_{0};
    std::atomic<std::int64_t> total_{0};
    std::atomic<std::int64_t> downloaded_{0};
    mutable std::mutex endMutex_;
    mutable std::condition_variable ended_;
};

}  // namespace wi::platform
