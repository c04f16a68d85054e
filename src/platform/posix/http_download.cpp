// The download transfer: a libcurl multi handle driven by a worker thread, so that a cancel can
// wake it at once. Transfers take their connections from the process's shared cache.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/files.h"
#include "platform/http.h"
#include "platform/posix/http_curl.h"

namespace wi::platform {
namespace {

// The stall limit a test has set; 0 for kDownloadStallSeconds.
std::atomic<unsigned> stallSecondsForTesting{0};

long StallSeconds() {
    const unsigned seconds = stallSecondsForTesting.load();
    return static_cast<long>(seconds != 0 ? seconds : kDownloadStallSeconds);
}

// Only http and https, also where a redirect leads: any other protocol is no file of the
// service, and a redirect must not send the transfer to another kind of server.
bool AllowOnlyHttp(CURL* easy) {
#if LIBCURL_VERSION_NUM >= 0x075500  // 7.85.0 takes protocols by name
    return curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
           curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK;
#else
    const long protocols = CURLPROTO_HTTP | CURLPROTO_HTTPS;
    return curl_easy_setopt(easy, CURLOPT_PROTOCOLS, protocols) == CURLE_OK &&
           curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS, protocols) == CURLE_OK;
#endif
}

bool IsHttpAddress(const std::string& url) {
    CURLU* parsed = curl_url();
    if (parsed == nullptr) {
        return false;
    }
    bool ok = false;
    char* scheme = nullptr;
    if (curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
        curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK) {
        const std::string text = scheme;
        ok = text == "http" || text == "https";
        curl_free(scheme);
    }
    curl_url_cleanup(parsed);
    return ok;
}

bool IsSuccessCode(long code) { return code >= 200 && code < 300; }

class CurlDownloadTransfer : public DownloadTransfer {
public:
    ~CurlDownloadTransfer() override {
        Cancel();
        if (worker_.joinable()) {
            worker_.join();
        }
        if (multi_ != nullptr) {
            curl_multi_remove_handle(multi_, easy_);
            curl_multi_cleanup(multi_);
        }
        if (easy_ != nullptr) {
            curl_easy_cleanup(easy_);
        }
    }

    void LimitBody(std::uint64_t maxBytes) override { limit_ = maxBytes; }

    DownloadStartError Start(const std::string& url, const std::string& localPath) override {
        if (easy_ != nullptr) {
            return kDownloadAlreadyStarted;
        }
        if (!posix::InitCurl()) {
            return kDownloadNoWorker;
        }
        if (!IsHttpAddress(url)) {
            return kDownloadBadAddress;
        }
        localPath_ = localPath;
        easy_ = curl_easy_init();
        multi_ = curl_multi_init();
        if (easy_ == nullptr || multi_ == nullptr) {
            return kDownloadNoWorker;
        }
        posix::ApplyCommonOptions(easy_);
        // Successive downloads from one server go over one connection where the server keeps it
        // open; without the shared cache each transfer connects on its own, which works as well.
        posix::UseSharedConnections(easy_);
        if (!AllowOnlyHttp(easy_)) {
            return kDownloadNoWorker;
        }
        curl_easy_setopt(easy_, CURLOPT_URL, url.c_str());
        curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(easy_, CURLOPT_MAXREDIRS, 20L);
        curl_easy_setopt(easy_, CURLOPT_FAILONERROR, 1L);
        // A caller without a cancel event has no other way out of a server that stops sending:
        // less than a byte a second over the stall limit fails the transfer, and a connect gets
        // no longer.
        const long stallSeconds = StallSeconds();
        curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT, stallSeconds);
        curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_TIME, stallSeconds);
        // An announced length beyond the bound fails before the body; the write callback stops
        // a body that announces none, or another one, as it arrives.
        if (limit_ != 0) {
            curl_easy_setopt(easy_, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limit_));
        }
        // Large pieces keep the per-write cost low on fast links.
        curl_easy_setopt(easy_, CURLOPT_BUFFERSIZE, 512L * 1024);
        curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlDownloadTransfer::OnData);
        curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(easy_, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(easy_, CURLOPT_XFERINFOFUNCTION, &CurlDownloadTransfer::OnProgress);
        curl_easy_setopt(easy_, CURLOPT_XFERINFODATA, this);
        if (curl_multi_add_handle(multi_, easy_) != CURLM_OK) {
            return kDownloadNoWorker;
        }
        try {
            worker_ = std::thread(&CurlDownloadTransfer::Run, this);
        } catch (const std::system_error&) {
            return kDownloadNoWorker;
        }
        return kDownloadStarted;
    }

    bool IsFinished() const override { return finished_.load(); }
    bool GetResult() const override { return finished_.load() && result_.load(); }
    int GetStatusCode() const override { return status_.load(); }
    std::int64_t GetTotalSize() const override { return total_.load(); }
    std::int64_t GetDownloadedSize() const override { return downloaded_.load(); }

    void Cancel() override {
        cancelled_.store(true);
        if (multi_ != nullptr) {
            curl_multi_wakeup(multi_);
        }
    }

    bool WaitForEnd(unsigned milliseconds) const override {
        std::unique_lock<std::mutex> lock(mutex_);
        return ended_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                               [this] { return finished_.load(); });
    }

private:
    void Run() {
        const CURLcode code = Transfer();
        long status = 0;
        curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
        status_.store(static_cast<int>(status));
        bool stored = code == CURLE_OK && IsSuccessCode(status);
        if (stored && file_ == nullptr) {
            // An empty body still makes an (empty) file.
            file_ = OpenReplacement(localPath_);
            stored = file_ != nullptr;
        }
        // Only a complete body takes the place of the file; anything less leaves the old file
        // as it was. Closed before anyone is told of the end.
        stored = stored && file_->Commit();
        file_.reset();
        result_.store(stored);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            finished_.store(true);
        }
        ended_.notify_all();
    }

    CURLcode Transfer() {
        int running = 1;
        while (running > 0 && !cancelled_.load()) {
            if (curl_multi_perform(multi_, &running) != CURLM_OK) {
                return CURLE_FAILED_INIT;
            }
            if (running > 0 && curl_multi_poll(multi_, nullptr, 0, 1000, nullptr) != CURLM_OK) {
                return CURLE_FAILED_INIT;
            }
        }
        // A transfer that ended before the cancel was seen keeps its outcome.
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
            if (message->msg == CURLMSG_DONE) {
                return message->data.result;
            }
        }
        return CURLE_ABORTED_BY_CALLBACK;
    }

    static size_t OnData(char* data, size_t size, size_t count, void* context) {
        auto* self = static_cast<CurlDownloadTransfer*>(context);
        const size_t bytes = size * count;
        long status = 0;
        curl_easy_getinfo(self->easy_, CURLINFO_RESPONSE_CODE, &status);
        if (!IsSuccessCode(status) || self->cancelled_.load()) {
            return 0;  // only the body of a successful answer is the file
        }
        const auto received = static_cast<std::uint64_t>(self->downloaded_.load());
        if (self->limit_ != 0 && bytes > self->limit_ - received) {
            return 0;  // beyond the bound: the transfer fails and the partial body goes
        }
        if (self->file_ == nullptr) {
            self->file_ = OpenReplacement(self->localPath_);
            if (self->file_ == nullptr) {
                return 0;
            }
        }
        if (!self->file_->Write(data, bytes)) {
            return 0;
        }
        self->downloaded_.fetch_add(static_cast<std::int64_t>(bytes));
        return bytes;
    }

    static int OnProgress(void* context, curl_off_t total, curl_off_t, curl_off_t, curl_off_t) {
        auto* self = static_cast<CurlDownloadTransfer*>(context);
        long status = 0;
        curl_easy_getinfo(self->easy_, CURLINFO_RESPONSE_CODE, &status);
        if (IsSuccessCode(status) && total > 0) {
            self->total_.store(static_cast<std::int64_t>(total));
        }
        return self->cancelled_.load() ? 1 : 0;
    }

    CURL* easy_ = nullptr;
    CURLM* multi_ = nullptr;
    std::string localPath_;
    std::uint64_t limit_ = 0;  // set before the worker starts
    std::unique_ptr<PendingFile> file_;  // used by the worker only
    std::thread worker_;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> result_{false};
    std::atomic<int> status_{0};
    std::atomic<std::int64_t> total_{0};
    std::atomic<std::int64_t> downloaded_{0};
    mutable std::mutex mutex_;
    mutable std::condition_variable ended_;
};

}  // namespace

void SetDownloadStallLimitForTesting(unsigned seconds) { stallSecondsForTesting.store(seconds); }

std::unique_ptr<DownloadTransfer> CreateDownloadTransfer() {
    return std::make_unique<CurlDownloadTransfer>();
}

}  // namespace wi::platform
