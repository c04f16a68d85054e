// The download transfer on WinHTTP: a synchronous request run by a worker thread. A cancel closes
// the request handle, which ends the call the worker is waiting in at once. Every download takes
// its connections from the process's one session, which keeps them open between downloads.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "platform/http.h"
#include "platform/win32/http_winhttp.h"

namespace wi::platform {
namespace {

using Clock = std::chrono::steady_clock;

// The stall limit a test has set; 0 for kDownloadStallSeconds.
std::atomic<unsigned> stallSecondsForTesting{0};

unsigned StallSeconds() {
    const unsigned seconds = stallSecondsForTesting.load();
    return seconds != 0 ? seconds : kDownloadStallSeconds;
}

bool IsSuccessCode(DWORD code) { return code >= 200 && code < 300; }

// Large pieces keep the per-write cost low on fast links.
constexpr DWORD kPieceBytes = 512 * 1024;

class WinHttpDownloadTransfer : public DownloadTransfer {
public:
    ~WinHttpDownloadTransfer() override {
        Cancel();
        if (worker_.joinable()) worker_.join();
    }

    DownloadStartError Start(const std::string& url, const std::string& localPath) override {
        if (started_) return kDownloadAlreadyStarted;
        std::wstring wideUrl;
        if (!win32::ToWide(url, wideUrl) || !win32::SplitHttpAddress(wideUrl, address_)) {
            return kDownloadBadAddress;
        }
        if (win32::DownloadSession() == nullptr) return kDownloadNoWorker;
        started_ = true;
        localPath_ = localPath;
        stallSeconds_ = StallSeconds();
        try {
            worker_ = std::thread(&WinHttpDownloadTransfer::Run, this);
        } catch (const std::system_error&) {
            return kDownloadNoWorker;
        }
        return kDownloadStarted;
    }

    bool IsFinished() const override { return finished_.load(); }
    bool GetResult() const override { return finished_.load() && result_.load(); }
    std::int64_t GetTotalSize() const override { return total_.load(); }
    std::int64_t GetDownloadedSize() const override { return downloaded_.load(); }

    void Cancel() override {
        std::lock_guard<std::mutex> lock(handleMutex_);
        cancelled_.store(true);
        // Ends the synchronous call the worker is in; the worker does not touch it again.
        if (request_ != nullptr) {
            WinHttpCloseHandle(request_);
            request_ = nullptr;
        }
    }

    bool WaitForEnd(unsigned milliseconds) const override {
        std::unique_lock<std::mutex> lock(endMutex_);
        return ended_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                               [this] { return finished_.load(); });
    }

private:
    void Run() {
        bool stored = false;
        HINTERNET connection = WinHttpConnect(win32::DownloadSession(), address_.host.c_str(),
                                              address_.port, 0);
        if (connection != nullptr) {
            stored = Transfer(connection);
            WinHttpCloseHandle(connection);
        }
        file_.reset();  // a body that did not take the file's place is dropped
        result_.store(stored);
        {
            std::lock_guard<std::mutex> lock(endMutex_);
            finished_.store(true);
        }
        ended_.notify_all();
    }

    // Opens the request and hands it to Cancel; nullptr when it could not be made or a cancel
    // came first.
    HINTERNET OpenRequest(HINTERNET connection) {
        HINTERNET request = WinHttpOpenRequest(
            connection, L"GET", address_.pathWithQuery.c_str(), nullptr, WINHTTP_NO_REFERER,
            WINHTTP_DEFAULT_ACCEPT_TYPES, address_.secure ? WINHTTP_FLAG_SECURE : 0);
        if (request == nullptr) return nullptr;
        // A caller without a cancel event has no other way out of a server that stops sending:
        // no name lookup, connect, send or wait for data gets longer than the stall limit.
        const int limitMs = static_cast<int>(stallSeconds_ * 1000);
        // Redirects go to http and https only (all WinHTTP speaks), either way, at most 20.
        DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_ALWAYS;
        DWORD redirects = 20;
        const bool ready =
            WinHttpSetTimeouts(request, limitMs, limitMs, limitMs, limitMs) &&
            WinHttpSetOption(request, WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy) &&
            WinHttpSetOption(request, WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &redirects,
                             sizeof redirects) &&
            (!address_.secure || win32::PrepareTrust(request));
        std::lock_guard<std::mutex> lock(handleMutex_);
        if (!ready || cancelled_.load()) {
            WinHttpCloseHandle(request);
            return nullptr;
        }
        request_ = request;
        return request;
    }

    // Closes the request unless Cancel already has.
    void CloseRequest() {
        std::lock_guard<std::mutex> lock(handleMutex_);
        if (request_ != nullptr) WinHttpCloseHandle(request_);
        request_ = nullptr;
    }

    bool Transfer(HINTERNET connection) {
        HINTERNET request = OpenRequest(connection);
        if (request == nullptr) return false;
        bool stored = false;
        if (WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                               0, 0, 0) &&
            WinHttpReceiveResponse(request, nullptr) &&
            (!address_.secure || win32::VerifyTrust(request, address_.host)) &&
            IsSuccessCode(win32::ResponseStatus(request))) {
            // Only the body of a successful answer is the file.
            const std::int64_t length = win32::ResponseLength(request);
            if (length > 0) total_.store(length);
            stored = ReadBody(request, length);
        }
        CloseRequest();
        return stored;
    }

    // Writes the body beside the file and puts it in place once it is complete.
    bool ReadBody(HINTERNET request, std::int64_t length) {
        // An empty body still makes an (empty) file.
        file_ = OpenReplacement(localPath_);
        if (file_ == nullptr) return false;
        std::vector<char> piece(kPieceBytes);
        // Less than a byte a second over the stall limit fails the transfer; each single wait
        // is bounded by the receive timeout.
        const auto window = std::chrono::seconds(stallSeconds_);
        Clock::time_point windowStart = Clock::now();
        std::int64_t windowBytes = 0;
        for (;;) {
            DWORD available = 0;
            if (!WinHttpQueryDataAvailable(request, &available)) return false;
            if (available == 0) break;  // the end of the body
            DWORD read = 0;
            if (!WinHttpReadData(request, piece.data(), std::min(available, kPieceBytes), &read) ||
                cancelled_.load()) {
                return false;
            }
            if (read == 0) break;
            if (!file_->Write(piece.data(), read)) return false;
            downloaded_.fetch_add(read);
            windowBytes += read;
            const Clock::time_point now = Clock::now();
            if (now - windowStart >= window) {
                if (windowBytes < static_cast<std::int64_t>(stallSeconds_)) return false;
                windowStart = now;
                windowBytes = 0;
            }
        }
        // A connection closed before the announced length is a cut-off body.
        if (cancelled_.load() || (length >= 0 && downloaded_.load() != length)) return false;
        // Closed before anyone is told of the end.
        const bool committed = file_->Commit();
        file_.reset();
        return committed;
    }

    win32::HttpAddress address_;
    std::string localPath_;
    unsigned stallSeconds_ = kDownloadStallSeconds;
    bool started_ = false;
    std::unique_ptr<PendingFile> file_;  // used by the worker only
    std::thread worker_;
    std::mutex handleMutex_;
    HINTERNET request_ = nullptr;  // guarded by handleMutex_
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> result_{false};
    std::atomic<std::int64_t> total_{0};
    std::atomic<std::int64_t> downloaded_{0};
    mutable std::mutex endMutex_;
    mutable std::condition_variable ended_;
};

}  // namespace

void SetDownloadStallLimitForTesting(unsigned seconds) { stallSecondsForTesting.store(seconds); }

std::unique_ptr<DownloadTransfer> CreateDownloadTransfer() {
    return std::make_unique<WinHttpDownloadTransfer>();
}

}  // namespace wi::platform
