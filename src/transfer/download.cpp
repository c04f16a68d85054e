// IWebInteractive::DownloadFile: drives the download component and reports its progress.
#include "transfer/download.h"

#include <string>

#include "frame/text.h"
#include "inc/narrow_text.h"
#include "platform/events.h"
#include "platform/http.h"
#include "platform/machine.h"
#include "transfer/display_name.h"
#include "transfer/last_status.h"
#include "transfer/upload_address.h"
#include "webinteractive/status.h"
#include "webinteractive/transfer.h"

namespace wi::transfer {

int DownloadBounded(const char* url, const char* localPath, const char* displayName,
                    void* cancelEvent, std::uint64_t maxBytes) {
    static const std::string startText = wi::inc::NarrowFromUtf8("开始下载文件 %s 从 %s...");
    const std::string address = wi::frame::OrEmpty(url);
    const std::string path = wi::frame::OrEmpty(localPath);
    const std::string name = wi::transfer::DisplayName(displayName, path);
    // The address as shown, in the status line and the error: without its password.
    const std::string shownAddress = wi::transfer::AddressForDisplay(address);
    IHelperInc::MakeStatus(startText.c_str(), name.c_str(), shownAddress.c_str());
    wi::transfer::LastDownload().Begin();

    const auto transfer = wi::platform::CreateDownloadTransfer();
    if (transfer == nullptr) {
        return 0;
    }
    transfer->LimitBody(maxBytes);
    // Without a cancel event nobody needs to interrupt the waits below: the transfer runs
    // inside them, on this thread.
    if (cancelEvent == nullptr) transfer->RunWhileWaited();
    const int startError = transfer->Start(address, path);
    if (startError != wi::platform::kDownloadStarted) {
        throw CDownloadError(startError,
                             "the download of " + shownAddress + " could not be started");
    }
    auto& machine = wi::platform::CurrentMachine();
    const std::uint64_t startTime = machine.MillisecondsSinceStart();

    // Wakes once a second for progress and the cancel event, and at once when the transfer ends.
    while (!transfer->IsFinished()) {
        if (cancelEvent != nullptr && wi::platform::IsEventSignalled(cancelEvent)) {
            transfer->Cancel();
        }
        if (transfer->GetTotalSize() > 0) {
            const std::int64_t received = transfer->GetDownloadedSize();
            const std::int64_t total = transfer->GetTotalSize();
            const std::uint64_t seconds = (machine.MillisecondsSinceStart() - startTime) / 1000;
            const std::uint64_t speed =
                seconds > 0 ? static_cast<std::uint64_t>(received) / seconds : 0;
            IHelperInc::MakeStatus(" %s|%s|%s|%s", name.c_str(), std::to_string(speed).c_str(),
                                   std::to_string(received).c_str(),
                                   std::to_string(total).c_str());
        }
        transfer->WaitForEnd(1000);
    }

    const bool stored = transfer->GetResult();
    wi::transfer::LastDownload().status = transfer->GetStatusCode();
    IHelperInc::MakeStatus("%s|%d", name.c_str(), stored ? 1 : 0);
    return stored ? 1 : 0;
}

}  // namespace wi::transfer

namespace IWebInteractive {

int DownloadFile(const char* url, const char* localPath, const char* displayName,
                 void* cancelEvent) {
    return wi::transfer::DownloadBounded(url, localPath, displayName, cancelEvent, 0);
}

}  // namespace IWebInteractive
