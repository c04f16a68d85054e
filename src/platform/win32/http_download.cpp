// The download transfer on WinHTTP, run by a worker thread. The requests are asynchronous: the
// worker starts each step and waits for its completion or for a cancel, whichever comes first,
// so that a cancel ends the transfer at once whatever the server does (a pending step may finish
// only later: what it writes into lives on until WinHTTP reports the request's handle closed).
// Every download takes its connections from the process's one session, which keeps them open
// between downloads. Redirects are followed here by the shared redirect rules, not by WinHTTP, so
// that one to another protocol is refused before anything is sent for it: some WinHTTP versions
// take an address of another protocol for a path on the same server and ask for it there.
#include <algorithm>
#include <new>
#include <vector>

#include "platform/common/http_download_rules.h"
#include "platform/common/http_redirect.h"
#include "platform/http.h"
#include "platform/win32/http_winhttp.h"

namespace wi::platform {
namespace {

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

class WinHttpDownloadTransfer : public DownloadTransferBase {
public:
    WinHttpDownloadTransfer() : cancelRequested_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

    ~WinHttpDownloadTransfer() override {
        StopWorker();
        if (cancelRequested_ != nullptr) CloseHandle(cancelRequested_);
    }

    DownloadStartError Start(const std::string& url, const std::string& localPath) override {
        if (started_) return kDownloadAlreadyStarted;
        if (!SplitHttpAddress(url, address_) || !WideAddress()) return kDownloadBadAddress;
        if (win32::DownloadSession() == nullptr || cancelRequested_ == nullptr) {
            return kDownloadNoWorker;
        }
        started_ = true;
        SetLocalPath(localPath);
        stallSeconds_ = DownloadStallSeconds();
        return StartWorker();
    }

private:
    void WakeWorker() override {
        if (cancelRequested_ != nullptr) SetEvent(cancelRequested_);
    }

    // The host and the path of address_ as WinHTTP takes them; false when they cannot be
    // converted.
    bool WideAddress() {
        return win32::ToWide(address_.host, host_) && win32::ToWide(address_.pathWithQuery, path_);
    }

    void Work() override {
        bool stored = false;
        for (int redirects = 0;; ++redirects) {
            HINTERNET connection = WinHttpConnect(win32::DownloadSession(), host_.c_str(),
                                                  static_cast<INTERNET_PORT>(address_.port), 0);
            if (connection == nullptr) break;
            std::string location;
            stored = Transfer(connection, location);
            WinHttpCloseHandle(connection);
            if (stored || location.empty() || redirects == kMaxRedirects ||
                !FollowLocation(location, address_) || !WideAddress()) {
                break;
            }
        }
        Finish(stored);
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
        return waited == WAIT_OBJECT_0 && !state.stepFailed && !Cancelled();
    }

    HINTERNET OpenRequest(HINTERNET connection) {
        HINTERNET request = WinHttpOpenRequest(
            connection, L"GET", path_.c_str(), nullptr, WINHTTP_NO_REFERER,
            WINHTTP_DEFAULT_ACCEPT_TYPES, address_.secure ? WINHTTP_FLAG_SECURE : 0);
        if (request == nullptr) return nullptr;
        // A caller without a cancel event has no other way out of a server that stops sending:
        // no name lookup, connect, send or wait for data gets longer than the stall limit.
        const int limitMs = static_cast<int>(stallSeconds_ * 1000);
        // Redirects are answered by Work.
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
    bool Transfer(HINTERNET connection, std::string& location) {
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
            (!address_.secure || win32::VerifyTrust(request, host_))) {
            const DWORD status = win32::ResponseStatus(request);
            SetStatus(static_cast<long>(status));
            if (IsSuccessStatus(status)) {
                stored = ReadBody(request, *state, win32::ResponseLength(request));
            } else if (IsRedirectStatus(status) &&
                       !win32::ToNarrow(win32::ResponseHeader(request, WINHTTP_QUERY_LOCATION),
                                        location)) {
                location.clear();
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

    // Writes the body beside the file and puts it in place once it is complete.
    bool ReadBody(HINTERNET request, RequestState& state, std::int64_t length) {
        if (!AnnounceLength(length)) return false;
        // Each single wait is bounded by the receive timeout.
        StallWatch stall(stallSeconds_);
        for (;;) {
            if (!StepSucceeded(state, WinHttpQueryDataAvailable(request, nullptr))) return false;
            const DWORD available = state.stepBytes;
            if (available == 0) break;  // the end of the body
            const DWORD want = std::min(available, kPieceBytes);
            const BOOL reading = WinHttpReadData(request, state.piece.data(), want, nullptr);
            if (!StepSucceeded(state, reading)) return false;
            const DWORD read = state.stepBytes;
            if (read == 0) break;
            if (!TakeBody(state.piece.data(), read) || !stall.Received(read)) return false;
        }
        return !Cancelled() && CommitBody(length);
    }

    HttpAddress address_;
    std::wstring host_;  // address_ as WinHTTP takes it
    std::wstring path_;
    unsigned stallSeconds_ = kDownloadStallSeconds;
    bool started_ = false;
    HANDLE cancelRequested_;
};

}  // namespace

std::unique_ptr<DownloadTransfer> CreateDownloadTransfer() {
    return std::make_unique<WinHttpDownloadTransfer>();
}

}  // namespace wi::platform
