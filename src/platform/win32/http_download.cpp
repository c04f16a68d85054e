// The download transfer on WinHTTP, run by a worker thread. The requests are asynchronous: the
// worker starts each step and waits for its completion or for a cancel, whichever comes first,
// so that a cancel ends the transfer at once whatever the server does (a pending step may finish
// only later: what it writes into lives on until WinHTTP reports the request's handle closed).
// Every download takes its connections from the process's one session, which keeps them open
// between downloads. Redirects are followed here, not by WinHTTP, so that one to another protocol
// is refused before anything is sent for it: some WinHTTP versions take an address of another
// protocol for a path on the same server and ask for it there.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cwctype>
#include <mutex>
#include <new>
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

// Redirects followed at most, as on posix.
constexpr int kMaxRedirects = 20;

bool IsRedirectCode(DWORD code) {
    return code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
}

// Whether the reference begins with a scheme ("ftp:", "https:"): letters, digits, "+", "-" and
// "." after a first letter, up to a colon.
bool HasScheme(const std::wstring& reference) {
    if (reference.empty() || !std::iswalpha(reference[0])) return false;
    for (wchar_t c : reference) {
        if (c == L':') return true;
        if (!std::iswalnum(c) && c != L'+' && c != L'-' && c != L'.') return false;
    }
    return false;
}

// The address a redirect's Location leads to from the current one: absolute (http or https
// only), without a scheme ("//host/x"), from the root ("/x") or beside the current path ("x").
// False for any other protocol or an address that cannot be parsed.
bool FollowLocation(const std::wstring& location, win32::HttpAddress& address) {
    if (location.empty()) return false;
    if (HasScheme(location)) return win32::SplitHttpAddress(location, address);
    if (location.compare(0, 2, L"//") == 0) {
        return win32::SplitHttpAddress((address.secure ? L"https:" : L"http:") + location,
                                       address);
    }
    std::wstring path = location.substr(0, location.find(L'#'));
    if (path[0] != L'/') {
        const std::wstring current = address.pathWithQuery.substr(
            0, address.pathWithQuery.find(L'?'));
        path = current.substr(0, current.rfind(L'/') + 1) + path;
    }
    address.pathWithQuery = path;
    return true;
}

// Large pieces keep the per-write cost low on fast links.
constexpr DWORD kPieceBytes = 512 * 1024;

// WinHTTP ends a step that exceeds its own time-outs with an error; this margin only guards
// against a completion that never comes.
constexpr DWORD kCompletionMarginMs = 5000;

// What the notifications of one request write into. Owned by WinHTTP from the sending of the
// request until its handle reports its closing, since a step may complete after the transfer
// has given up on it.
struct RequestState {
    RequestState() : stepDone(CreateEventW(nullptr, FALSE, FALSE, nullptr)), piece(kPieceBytes) {}
    ~RequestState() {
        if (stepDone != nullptr) CloseHandle(stepDone);
    }
    RequestState(const RequestState&) = delete;
    RequestState& operator=(const RequestState&) = delete;

    HANDLE stepDone;
    // Written by the notification before it sets stepDone, read by the worker after the wait.
    DWORD stepBytes = 0;
    bool stepFailed = false;
    std::vector<char> piece;  // filled by WinHTTP while a read is pending
};

class WinHttpDownloadTransfer : public DownloadTransfer {
public:
    WinHttpDownloadTransfer() : cancelRequested_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

    ~WinHttpDownloadTransfer() override {
        Cancel();
        if (worker_.joinable()) worker_.join();
        if (cancelRequested_ != nullptr) CloseHandle(cancelRequested_);
    }

    void LimitBody(std::uint64_t maxBytes) override { limit_ = maxBytes; }

    DownloadStartError Start(const std::string& url, const std::string& localPath) override {
        if (started_) return kDownloadAlreadyStarted;
        std::wstring wideUrl;
        if (!win32::ToWide(url, wideUrl) || !win32::SplitHttpAddress(wideUrl, address_)) {
            return kDownloadBadAddress;
        }
        if (win32::DownloadSession() == nullptr || cancelRequested_ == nullptr) {
            return kDownloadNoWorker;
        }
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
    int GetStatusCode() const override { return status_.load(); }
    std::int64_t GetTotalSize() const override { return total_.load(); }
    std::int64_t GetDownloadedSize() const override { return downloaded_.load(); }

    void Cancel() override {
        cancelled_.store(true);
        if (cancelRequested_ != nullptr) SetEvent(cancelRequested_);
    }

    bool WaitForEnd(unsigned milliseconds) const override {
        std::unique_lock<std::mutex> lock(endMutex_);
        return ended_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                               [this] { return finished_.load(); });
    }

private:
    void Run() {
        bool stored = false;
        for (int redirects = 0;; ++redirects) {
            HINTERNET connection = WinHttpConnect(win32::DownloadSession(), address_.host.c_str(),
                                                  address_.port, 0);
            if (connection == nullptr) break;
            std::wstring location;
            stored = Transfer(connection, location);
            WinHttpCloseHandle(connection);
            if (stored || location.empty() || redirects == kMaxRedirects ||
                !FollowLocation(location, address_)) {
                break;
            }
        }
        file_.reset();  // a body that did not take the file's place is dropped
        result_.store(stored);
        {
            std::lock_guard<std::mutex> lock(endMutex_);
            finished_.store(true);
        }
        ended_.notify_all();
    }

    // WinHTTP's notifications of the request, on its own threads: each records the outcome of
    // the step the worker waits for and wakes it; the closing of the handle frees the state.
    static void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info,
                                  DWORD infoLength) {
        auto* state = reinterpret_cast<RequestState*>(context);
        if (state == nullptr) return;
        switch (status) {
            case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
            case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
                state->stepBytes = 0;
                break;
            case WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE:
                state->stepBytes = *static_cast<DWORD*>(info);
                break;
            case WINHTTP_CALLBACK_STATUS_READ_COMPLETE:
                state->stepBytes = infoLength;
                break;
            case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
                state->stepFailed = true;
                break;
            case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING:
                delete state;  // the last notification of the request
                return;
            default:
                return;
        }
        SetEvent(state->stepDone);
    }

    // Waits for the completion of the step just started: true when it succeeded; false on its
    // failure, a cancel, or no completion within the stall limit and the margin.
    bool StepSucceeded(const RequestState& state, BOOL started) {
        if (!started) return false;
        const HANDLE events[] = {state.stepDone, cancelRequested_};
        const DWORD waited = WaitForMultipleObjects(2, events, FALSE,
                                                    stallSeconds_ * 1000 + kCompletionMarginMs);
        return waited == WAIT_OBJECT_0 && !state.stepFailed && !cancelled_.load();
    }

    HINTERNET OpenRequest(HINTERNET connection) {
        HINTERNET request = WinHttpOpenRequest(
            connection, L"GET", address_.pathWithQuery.c_str(), nullptr, WINHTTP_NO_REFERER,
            WINHTTP_DEFAULT_ACCEPT_TYPES, address_.secure ? WINHTTP_FLAG_SECURE : 0);
        if (request == nullptr) return nullptr;
        // A caller without a cancel event has no other way out of a server that stops sending:
        // no name lookup, connect, send or wait for data gets longer than the stall limit.
        const int limitMs = static_cast<int>(stallSeconds_ * 1000);
        // Redirects are answered by Run.
        DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
        const DWORD notifications =
            WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS | WINHTTP_CALLBACK_FLAG_HANDLES;
        const bool ready =
            WinHttpSetStatusCallback(request, &WinHttpDownloadTransfer::OnStatus, notifications,
                                     0) != WINHTTP_INVALID_STATUS_CALLBACK &&
            WinHttpSetTimeouts(request, limitMs, limitMs, limitMs, limitMs) &&
            WinHttpSetOption(request, WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy) &&
            (!address_.secure || win32::PrepareTrust(request));
        if (!ready) {
            WinHttpCloseHandle(request);
            return nullptr;
        }
        return request;
    }

    // One request of the download: true when its body was stored. A redirect stores nothing and
    // leaves the address it names in location.
    bool Transfer(HINTERNET connection, std::wstring& location) {
        auto* state = new (std::nothrow) RequestState();
        if (state == nullptr || state->stepDone == nullptr) {
            delete state;
            return false;
        }
        HINTERNET request = OpenRequest(connection);
        if (request == nullptr) {
            delete state;
            return false;
        }
        // The state reaches every notification of the request as its context; once the request
        // is sent, the notification of its closing frees it.
        const BOOL sent = WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                                             WINHTTP_NO_REQUEST_DATA, 0, 0,
                                             reinterpret_cast<DWORD_PTR>(state));
        bool stored = false;
        if (StepSucceeded(*state, sent) &&
            StepSucceeded(*state, WinHttpReceiveResponse(request, nullptr)) &&
            (!address_.secure || win32::VerifyTrust(request, address_.host))) {
            const DWORD status = win32::ResponseStatus(request);
            status_.store(static_cast<int>(status));
            if (IsSuccessCode(status)) {
                // Only the body of a successful answer is the file.
                const std::int64_t length = win32::ResponseLength(request);
                if (length > 0) total_.store(length);
                stored = ReadBody(request, *state, length);
            } else if (IsRedirectCode(status)) {
                location = win32::ResponseHeader(request, WINHTTP_QUERY_LOCATION);
            }
        }
        if (!sent) {
            // Without a sent request no notification carries the state.
            WinHttpSetStatusCallback(request, nullptr, 0, 0);
            delete state;
        }
        WinHttpCloseHandle(request);
        return stored;
    }

    // Whether a body of this many bytes exceeds the bound.
    bool BeyondLimit(std::uint64_t bytes) const { return limit_ != 0 && bytes > limit_; }

    // Writes the body beside the file and puts it in place once it is complete.
    bool ReadBody(HINTERNET request, RequestState& state, std::int64_t length) {
        // An announced length beyond the bound fails before the body.
        if (length > 0 && BeyondLimit(static_cast<std::uint64_t>(length))) return false;
        // An empty body still makes an (empty) file.
        file_ = OpenReplacement(localPath_);
        if (file_ == nullptr) return false;
        // Less than a byte a second over the stall limit fails the transfer; each single wait
        // is bounded by the receive timeout.
        const auto window = std::chrono::seconds(stallSeconds_);
        Clock::time_point windowStart = Clock::now();
        std::int64_t windowBytes = 0;
        for (;;) {
            if (!StepSucceeded(state, WinHttpQueryDataAvailable(request, nullptr))) return false;
            const DWORD available = state.stepBytes;
            if (available == 0) break;  // the end of the body
            const DWORD want = std::min(available, kPieceBytes);
            const BOOL reading = WinHttpReadData(request, state.piece.data(), want, nullptr);
            if (!StepSucceeded(state, reading)) return false;
            const DWORD read = state.stepBytes;
            if (read == 0) break;
            // Beyond the bound the transfer fails; the partial body goes with file_.
            if (BeyondLimit(static_cast<std::uint64_t>(downloaded_.load()) + read)) return false;
            if (!file_->Write(state.piece.data(), read)) return false;
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
    std::uint64_t limit_ = 0;  // set before the worker starts
    unsigned stallSeconds_ = kDownloadStallSeconds;
    bool started_ = false;
    std::unique_ptr<PendingFile> file_;  // used by the worker only
    std::thread worker_;
    HANDLE cancelRequested_;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> result_{false};
    std::atomic<int> status_{0};
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
