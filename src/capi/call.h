// One call of the C interface: its result code, this thread's reason of the last failure, and
// the guard that turns every exception of the C++ operations into a code and a reason.
#pragma once

#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>

#include "transfer/last_status.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/transfer.h"
#include "webinteractive/webinteractive_c.h"

namespace wi::capi {

// Records the reason of a failure for wi_last_error and returns the code.
wi_code Fail(wi_code code, const std::string& reason) noexcept;
// A wrong call: a null handle or result pointer, a field the record lacks, an index past the end.
inline wi_code Misuse(const std::string& reason) noexcept { return Fail(WI_MISUSE, reason); }
// Clears the reason at the start of a call.
void ClearReason() noexcept;

// Runs the body of a call, which returns its code (WI_OK, or what Fail gave). An exception of the
// operation becomes the code of its kind and its text the reason: none crosses into the host.
template <typename Body>
wi_code Call(Body&& body) noexcept {
    ClearReason();
    try {
        return body();
    } catch (const CXException& error) {
        return Fail(WI_FILE_ERROR, error.what());
    } catch (const CDownloadError& error) {
        return Fail(WI_DOWNLOAD_ERROR,
                    std::string(error.what()) + " (code " + std::to_string(error.code()) + ")");
    } catch (const std::bad_alloc&) {
        return Fail(WI_NO_MEMORY, "out of memory");
    } catch (const std::exception& error) {
        return Fail(WI_ERROR, error.what());
    } catch (...) {
        return Fail(WI_ERROR, "an unknown error");
    }
}

// Hands out a text through the result pointer: a copy kept in the caller's storage (one per
// function and thread), valid until the thread's next call of that function.
wi_code HandOut(std::string& kept, const char* text, const char** result);

// A text result where "" means failure: WI_OK with the text, else WI_FAILED with the reason.
wi_code HandOutUnlessEmpty(std::string& kept, const char* text, const char** result,
                           const std::string& reason);

// A result of 1 or 0 from the C++ operation: WI_OK, or WI_FAILED with the reason.
inline wi_code Succeeded(int result, const std::string& reason) {
    return result != 0 ? WI_OK : Fail(WI_FAILED, reason);
}

// Watches this thread's transfers of one kind (uploads or downloads) while a C++ operation runs:
// whether it made one, and how the last one was answered.
class TransferWatch {
public:
    explicit TransferWatch(const wi::transfer::LastTransfer& last)
        : last_(last), callsBefore_(last.calls) {}
    bool Made() const { return last_.calls != callsBefore_; }
    // Made, and answered with a status of the 2xx kind.
    bool Accepted() const { return Made() && last_.status >= 200 && last_.status < 300; }
    // Why the transfer to or from the address did not give what was asked: the HTTP status of
    // its answer, or that none came; withoutTransfer when the operation made none.
    std::string Reason(const char* url, const std::string& withoutTransfer) const;

private:
    const wi::transfer::LastTransfer& last_;
    std::uint64_t callsBefore_;
};

inline TransferWatch WatchUploads() { return TransferWatch(wi::transfer::LastUpload()); }
inline TransferWatch WatchDownloads() { return TransferWatch(wi::transfer::LastDownload()); }

// The outcome of an operation that gave result (1 or 0) by a download: WI_OK for 1, else
// WI_FAILED with the watch's reason.
wi_code Downloaded(const TransferWatch& download, int result, const char* url,
                   const std::string& withoutTransfer);
// The outcome of an upload whose C++ operation gave result: WI_OK when it was answered with a
// status of the 2xx kind, else WI_FAILED with the watch's reason.
wi_code Uploaded(const TransferWatch& upload, int result, const char* url,
                 const std::string& withoutTransfer);
// The outcome of an upload that succeeds (result 1) only when the reply begins with "TRUE".
wi_code ConfirmedUpload(const TransferWatch& upload, int result, const char* url,
                        const std::string& withoutTransfer);

}  // namespace wi::capi
