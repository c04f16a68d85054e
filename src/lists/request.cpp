#include "lists/request.h"

#include "platform/files.h"
#include "transfer/download.h"
#include "transfer/upload_address.h"
#include "webinteractive/frame.h"
#include "webinteractive/status.h"

namespace wi::lists {

namespace {
constexpr std::size_t kBlockSize = 1024;
}

int RequestText(const std::string& url, std::string& text, void* cancelEvent) {
    // GetTempXmlFilePath's buffer is shared by every temporary path: keep a copy.
    const std::string path = IWebInteractive::GetTempXmlFilePath("RequestTemp");
    IHelperInc::MakeStatus("request %s, %s", wi::transfer::AddressForDisplay(url).c_str(),
                           path.c_str());
    if (transfer::DownloadBounded(url.c_str(), path.c_str(), "RequestTemp", cancelEvent,
                                  kMaxRequestText) == 0) {
        return 0;
    }
    std::unique_ptr<platform::File> file = platform::OpenForRead(path);
    if (!file) return 0;
    char block[kBlockSize];
    for (;;) {
        const long long got = file->Read(block, sizeof block);
        if (got < 0) return 0;
        if (got == 0) return 1;
        text.append(block, static_cast<std::size_t>(got));
    }
}

}  // namespace wi::lists
