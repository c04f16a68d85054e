#include "userinfo/discarded_request.h"

#include <memory>

#include "platform/http.h"
#include "platform/xml_dom.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/frame.h"

namespace wi::userinfo {

void RequestAndDiscard(const std::string& url, unsigned limitSeconds) {
    const std::string path = IWebInteractive::GetTempXmlFilePath("UserInfoTemp");
    std::unique_ptr<platform::DownloadTransfer> transfer = platform::CreateDownloadTransfer();
    if (!transfer) return;
    // The answer is parsed as a file: a body beyond what the parser takes is not downloaded.
    transfer->LimitBody(xml::kMaxFileBytes);
    if (transfer->Start(url, path) != platform::kDownloadStarted) {
        return;
    }
    bool ended = false;
    for (unsigned second = 0; second < limitSeconds && !ended; ++second) {
        ended = transfer->WaitForEnd(1000);
    }
    if (!ended) {
        transfer->Cancel();
        transfer->WaitForEnd(1000);
    }
    if (ended && transfer->GetResult()) {
        xml::Document answer;
        answer.ParseFile(path);
    }
    try {
        if (CXFileOperator::PathExists(path)) CXFileOperator::DeleteFile(path);
    } catch (const CXException&) {
        // A temporary answer left behind changes nothing for the caller.
    }
}

}  // namespace wi::userinfo
