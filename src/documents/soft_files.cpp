// One local file of a software posted to the service under a two-part name,
// "filename=<first>\<second>".
#include <string>

#include "frame/query.h"
#include "frame/text.h"
#include "webinteractive/documents.h"
#include "webinteractive/transfer.h"

namespace IWebInteractive {

int UploadSoftFiles(const char* url, const char* firstName, const char* secondName,
                    const char* localPath) {
    std::string first = wi::frame::OrEmpty(firstName);
    if (first.empty()) {
        return 0;  // no request
    }
    std::string second = wi::frame::OrEmpty(secondName);
    // Each part is encoded; the backslash between them goes on the wire as it is.
    const std::string parameter = "filename=" + wi::frame::EncodeQueryValue(first) + "\\" +
                                  wi::frame::EncodeQueryValue(second);
    const std::string address =
        wi::frame::AppendQueryParameter(wi::frame::OrEmpty(url), parameter);
    return UploadFile(address.c_str(), localPath, nullptr, nullptr, nullptr);
}

}  // namespace IWebInteractive
