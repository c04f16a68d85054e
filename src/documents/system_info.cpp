// The system information document: written by the collector, then posted under this machine's
// number to the configured address, which accepts it by answering "TRUE".
#include <cstring>
#include <string>

#include "documents/system_info_collector.h"
#include "frame/config.h"
#include "frame/text.h"
#include "frame/query.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/documents.h"
#include "webinteractive/transfer.h"

namespace IWebInteractive {

const char* SaveUpSysInfoXml() {
    thread_local std::string result;  // valid until this thread's next call
    wi::frame::Refill(result, wi::documents::SystemInfoDocumentPath());
    // Where the collector could not write the document there is none to point at, not even an
    // older one that may still lie at the path.
    if (!wi::documents::CollectSystemInfo(result)) {
        result.clear();
    }
    return result.c_str();
}

int UpdateSysInfo() {
    const wi::frame::Configuration config = wi::frame::Config();
    std::string machineNum = config.machineNum;
    const std::string url = wi::frame::AppendQueryParameterFirstMarkOnly(
        config.upSysUrl, "machinenum=" + wi::frame::EncodeQueryValue(machineNum));
    const std::string path = SaveUpSysInfoXml();
    char reply[1024] = "";
    if (UploadFile(url.c_str(), path.c_str(), reply, nullptr, nullptr) == 0) {
        reply[0] = '\0';
    }
    try {
        CXFileOperator::DeleteFile(path);
    } catch (const CXException&) {
        // A document left behind does not change the service's answer.
    }
    return std::strncmp(reply, "TRUE", 4) == 0 ? 1 : 0;
}

}  // namespace IWebInteractive
