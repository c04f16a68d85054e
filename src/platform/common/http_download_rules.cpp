#include "platform/common/http_download_rules.h"

#include <system_error>

namespace wi::platform {
namespace {

// Bodies announced at least this long get their file's space reserved before the first write.
constexpr std::int64_t kReserveFrom = 1 << 20;
// The body is written to the file in pieces of this size.
constexpr std::size_t kWritePiece = 512 * 1024;

// The stall limit a test has set; 0 for kDownloadStallSeconds.
std::atomic<unsigned> stallSecondsForTesting{0};

}  // namespace

void SetDownloadStallLimitForTesting(unsigned seconds) { stallSecondsForTesting.store(seconds); }

unsigned DownloadStallSeconds() {
    const unsigned seconds = stallSecondsForTesting.load();
    return seconds != 0 ? seconds : kDownloadStallSeconds;
}

bool IsSuccessStatus(long status) { return status >= 200 && status < 300; }

StallWatch::StallWatch(unsigned seconds) : seconds_(seconds), windowStart_(Clock::now()) {}

bool StallWatch::Received(std::uint64_t bytes) {
    windowBytes_ += bytes;
    const Clock::time_point now = Clock::now();
    if (now - windowStart_ < std::chrono::seconds(seconds_)) return true;
    const bool enough = windowBytes_ >= seconds_;
    windowStart_ = now;
    windowBytes_ = 0;
    return enough;
}

void DownloadTransferBase::Cancel() {
    cancelled_.store(true);
    WakeWorker();
}

DownloadStartError DownloadTransferBase::StartWorker() {
    if (whileWaited_ && CanRunWhileWaited()) {
        onCaller_ = true;
        return kDownloadStarted;
    }
    try {
        worker_ = std::thread(&DownloadTransferBase::Work, this);
    } catch (const std::system_error&) {
        return kDownloadNoWorker;
    }
    return kDownloadStarted;
}

void DownloadTransferBase::StopWorker() {
    // A transfer run while waited has nothing running between the waits.
    if (!worker_.joinable()) return;
    if (!finished_.load()) Cancel();
    worker_.join();
}

bool DownloadTransferBase::WaitForEnd(unsigned milliseconds) {
    if (onCaller_) {
        if (!finished_.load()) RunFor(milliseconds);
        return finished_.load();
    }
    std::unique_lock<std::mutex> lock(endMutex_);
    return ended_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                           [this] { return finished_.load(); });
}

bool DownloadTransferBase::AnnounceLength(std::int64_t length) {
    if (length <= 0) return true;
    total_.store(length);
    return limit_ == 0 || static_cast<std::uint64_t>(length) <= limit_;
}

bool DownloadTransferBase::TakeBody(const char* data, std::size_t bytes) {
    const auto received = static_cast<std::uint64_t>(downloaded_.load());
    if (limit_ != 0 && bytes > limit_ - received) {
        return false;  // beyond the bound: the partial body goes with the transfer
    }
    if (file_ == nullptr) {
        file_ = OpenReplacement(localPath_);
        if (file_ == nullptr) return false;
        // A large body announced up front gets its space at once; a small one is not worth the
        // extra call.
        const std::int64_t total = total_.load();
        if (total >= kReserveFrom) file_->Reserve(static_cast<std::uint64_t>(total));
    }
    // Collected into large writes: the pieces a transfer hands over are small, and a file
    // system takes few large writes faster than many small ones.
    pending_.insert(pending_.end(), data, data + bytes);
    if (pending_.size() >= kWritePiece && !WritePending()) return false;
    downloaded_.fetch_add(static_cast<std::int64_t>(bytes));
    return true;
}

bool DownloadTransferBase::WritePending() {
    const bool written = pending_.empty() || file_->Write(pending_.data(), pending_.size());
    pending_.clear();
    return written;
}

bool DownloadTransferBase::CommitBody(std::int64_t announced) {
    // A connection closed before the announced length is a cut-off body.
    if (announced >= 0 && downloaded_.load() != announced) return false;
    if (file_ == nullptr) file_ = OpenReplacement(localPath_);
    const bool committed = file_ != nullptr && WritePending() && file_->Commit();
    file_.reset();
    return committed;
}

void DownloadTransferBase::Finish(bool stored) {
    file_.reset();
    pending_ = {};
    result_.store(stored);
    {
        std::lock_guard<std::mutex> lock(endMutex_);
        finished_.store(true);
    }
    ended_.notify_all();
}

}  // namespace wi::platform
