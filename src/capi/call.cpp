#include "capi/call.h"

#include "transfer/upload_address.h"

namespace wi::capi {
namespace {

struct Reason {
    std::string text;
    // Where the text could not be kept (no memory for it): a fixed one.
    const char* fixed = nullptr;
};

Reason& ThreadReason() noexcept {
    thread_local Reason reason;
    return reason;
}

}  // namespace

wi_code Fail(wi_code code, const std::string& reason) noexcept {
    Reason& kept = ThreadReason();
    try {
        kept.text = reason;
        kept.fixed = nullptr;
    } catch (const std::bad_alloc&) {
        kept.fixed = "out of memory";
    }
    return code;
}

void ClearReason() noexcept {
    Reason& kept = ThreadReason();
    kept.text.clear();
    kept.fixed = nullptr;
}

wi_code HandOut(std::string& kept, const char* text, const char** result) {
    if (result == nullptr) return Misuse("the result pointer is null");
    kept = text != nullptr ? text : "";
    *result = kept.c_str();
    return WI_OK;
}

wi_code HandOutUnlessEmpty(std::string& kept, const char* text, const char** result,
                           const std::string& reason) {
    if (result == nullptr) return Misuse("the result pointer is null");
    if (text == nullptr || *text == '\0') return Fail(WI_FAILED, reason);
    return HandOut(kept, text, result);
}

std::string TransferWatch::Reason(const char* url, const std::string& withoutTransfer) const {
    if (!Made()) return withoutTransfer;
    const std::string address = wi::transfer::AddressForDisplay(url != nullptr ? url : "");
    if (last_.status == 0) return "no answer from " + address;
    return address + " answered with HTTP status " + std::to_string(last_.status);
}

wi_code Downloaded(const TransferWatch& download, int result, const char* url,
                   const std::string& withoutTransfer) {
    if (result != 0) return WI_OK;
    return Fail(WI_FAILED, download.Reason(url, withoutTransfer));
}

wi_code Uploaded(const TransferWatch& upload, int result, const char* url,
                 const std::string& withoutTransfer) {
    if (result != 0 && upload.Accepted()) return WI_OK;
    return Fail(WI_FAILED, upload.Reason(url, withoutTransfer));
}

wi_code ConfirmedUpload(const TransferWatch& upload, int result, const char* url,
                        const std::string& withoutTransfer) {
    if (result != 0) return WI_OK;
    if (upload.Accepted()) return Fail(WI_FAILED, "the service did not answer TRUE");
    return Fail(WI_FAILED, upload.Reason(url, withoutTransfer));
}

}  // namespace wi::capi

extern "C" const char* wi_last_error(void) {
    const auto& reason = wi::capi::ThreadReason();
    return reason.fixed != nullptr ? reason.fixed : reason.text.c_str();
}
