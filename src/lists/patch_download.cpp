// IWebInteractive::DownloadPatchFile: asks the service where a patch lies and downloads it.
#include <string>

#include "frame/query.h"
#include "frame/text.h"
#include "lists/file_downloads_paths.h"
#include "lists/request.h"
#include "webinteractive/lists.h"
#include "webinteractive/transfer.h"

namespace IWebInteractive {

int DownloadPatchFile(const char* url, const char* patchId, char* pathBuffer) {
    wi::lists::ClearCallerBuffer(pathBuffer);
    std::string localPath = wi::lists::kFallbackDownloadPath;
    std::string id = wi::frame::OrEmpty(patchId);
    if (id.empty()) {
        return 0;
    }
    const std::string request = wi::frame::AppendQueryParameter(
        wi::frame::OrEmpty(url), "patchid=" + wi::frame::EncodeQueryValue(id));
    // The answer is the patch file's address, used exactly as it came.
    std::string address;
    if (wi::lists::RequestText(request, address, nullptr) != 1) {
        return 0;
    }
    std::string folder;
    if (wi::lists::DownloadFolder(folder)) {
        localPath = wi::lists::TickedDownloadPath(folder, "DownFile");
    }
    if (DownloadFile(address.c_str(), localPath.c_str(), nullptr, nullptr) != 1) {
        return 0;
    }
    wi::lists::CopyToCallerBuffer(pathBuffer, localPath);
    return 1;
}

}  // namespace IWebInteractive
