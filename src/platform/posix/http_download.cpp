// The download transfer: a libcurl multi handle driven either by a worker thread, so that a
// cancel can wake it at once, or in slices by the waiting caller itself. The handles are the
// thread's kept ones and the connections come from the process's shared cache, so that
// successive downloads make neither anew. libcurl follows the redirects, held to the shared
// redirect rules.
#include <algorithm>
#include <chrono>

#include "platform/common/http_download_rules.h"
#include "platform/common/http_redirect.h"
#include "platform/http.h"
#include "platform/posix/http_curl.h"

namespace wi::platform {
namespace {

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

class CurlDownloadTransfer : public DownloadTransferBase {
public:
    ~CurlDownloadTransfer() override {
        StopWorker();
        if (added_) {
            curl_multi_remove_handle(handles_.multi, handles_.easy);
        }
        if (handles_.easy != nullptr) {
            posix::KeepDownloadHandles(handles_);
        }
    }

    DownloadStartError Start(const std::string& url, const std::string& localPath) override {
        if (handles_.easy != nullptr) {
            return kDownloadAlreadyStarted;
        }
        if (!posix::InitCurl()) {
            return kDownloadNoWorker;
        }
        if (!IsHttpAddress(url)) {
            return kDownloadBadAddress;
        }
        SetLocalPath(localPath);
        if (!posix::TakeDownloadHandles(handles_)) {
            return kDownloadNoWorker;
        }
        CURL* const easy = handles_.easy;
        posix::ApplyCommonOptions(easy);
        // Successive downloads from one server go over one connection where the server keeps it
        // open; without the shared cache each transfer connects on its own, which works as well.
        posix::UseSharedConnections(easy);
        if (!AllowOnlyHttp(easy)) {
            return kDownloadNoWorker;
        }
        curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(easy, CURLOPT_MAXREDIRS, static_cast<long>(kMaxRedirects));
        curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
        // A caller without a cancel event has no other way out of a server that stops sending:
        // less than a byte a second over the stall limit fails the transfer, and a connect gets
        // no longer.
        const long stallSeconds = static_cast<long>(DownloadStallSeconds());
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, stallSeconds);
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, stallSeconds);
        // An announced length beyond the bound fails before the body; the write callback stops
        // a body that announces none, or another one, as it arrives.
        if (BodyLimit() != 0) {
            curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE,
                             static_cast<curl_off_t>(BodyLimit()));
        }
        // Large pieces keep the per-write cost low on fast links.
        curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, 512L * 1024);
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CurlDownloadTransfer::OnData);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &CurlDownloadTransfer::OnProgress);
        curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);
        if (curl_multi_add_handle(handles_.multi, easy) != CURLM_OK) {
            return kDownloadNoWorker;
        }
        added_ = true;
        return StartWorker();
    }

private:
    using Clock = std::chrono::steady_clock;

    void WakeWorker() override {
        if (handles_.multi != nullptr) {
            curl_multi_wakeup(handles_.multi);
        }
    }

    void Work() override {
        Drive(Clock::time_point::max());
        Conclude();
    }

    bool CanRunWhileWaited() const override { return true; }

    void RunFor(unsigned milliseconds) override {
        if (Drive(Clock::now() + std::chrono::milliseconds(milliseconds))) {
            Conclude();
        }
    }

    // Carries the transfer on until it ends, is cancelled or the time has come; true unless the
    // time ran out first. Every wait for the socket lasts at most a second.
    bool Drive(Clock::time_point until) {
        for (;;) {
            int running = 0;
            if (Cancelled()) {
                return true;
            }
            if (curl_multi_perform(handles_.multi, &running) != CURLM_OK) {
                driveFailed_ = true;
                return true;
            }
            if (running == 0) {
                return true;
            }
            auto wait = std::chrono::milliseconds(1000);
            if (until != Clock::time_point::max()) {
                const auto left =
                    std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
                if (left.count() <= 0) {
                    return false;
                }
                wait = std::min(wait, left);
            }
            if (curl_multi_poll(handles_.multi, nullptr, 0, static_cast<int>(wait.count()),
                                nullptr) != CURLM_OK) {
                driveFailed_ = true;
                return true;
            }
        }
    }

    void Conclude() {
        const CURLcode code = Outcome();
        long status = 0;
        curl_easy_getinfo(handles_.easy, CURLINFO_RESPONSE_CODE, &status);
        SetStatus(status);
        // Only a complete body takes the place of the file; anything less leaves the old file
        // as it was.
        Finish(code == CURLE_OK && IsSuccessStatus(status) && CommitBody());
    }

    CURLcode Outcome() {
        if (driveFailed_) {
            return CURLE_FAILED_INIT;
        }
        // A transfer that ended before the cancel was seen keeps its outcome.
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(handles_.multi, &left)) {
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
        curl_easy_getinfo(self->handles_.easy, CURLINFO_RESPONSE_CODE, &status);
        if (!IsSuccessStatus(status) || self->Cancelled()) {
            return 0;  // only the body of a successful answer is the file
        }
        if (!self->lengthTaken_) {
            // The announced length, before the first byte is stored: the file's space is
            // reserved by it. libcurl itself fails a length beyond the bound.
            curl_off_t length = -1;
            curl_easy_getinfo(self->handles_.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
            self->AnnounceLength(static_cast<std::int64_t>(length));
            self->lengthTaken_ = true;
        }
        return self->TakeBody(data, bytes) ? bytes : 0;
    }

    static int OnProgress(void* context, curl_off_t total, curl_off_t, curl_off_t, curl_off_t) {
        auto* self = static_cast<CurlDownloadTransfer*>(context);
        long status = 0;
        curl_easy_getinfo(self->handles_.easy, CURLINFO_RESPONSE_CODE, &status);
        if (IsSuccessStatus(status)) {
            // libcurl itself fails an announced length beyond the bound.
            self->AnnounceLength(static_cast<std::int64_t>(total));
        }
        return self->Cancelled() ? 1 : 0;
    }

    posix::DownloadHandles handles_;
    bool added_ = false;        // the transfer is in the multi handle
    bool driveFailed_ = false;  // the multi handle itself failed
    bool lengthTaken_ = false;  // the announced length was read before the first byte
};

}  // namespace

std::unique_ptr<DownloadTransfer> CreateDownloadTransfer() {
    return std::make_unique<CurlDownloadTransfer>();
}

}  // namespace wi::platform
