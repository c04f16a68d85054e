// The install info document: how one version of one software is installed, with who created the
// description. Saved to a temporary file, or posted to the service with its reply handed back.
#include <string>

#include "documents/file_list_tree.h"
#include "documents/xml_builder.h"
#include "frame/text.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/documents.h"
#include "webinteractive/frame.h"
#include "webinteractive/transfer.h"

namespace IWebInteractive {

const char* SaveInstallInfoXml(const ISoftInfoInc::_SoftInfo& soft) {
    namespace documents = wi::documents;
    namespace records = wi::records;
    // The path stays in GetTempXmlFilePath's buffer, which nothing below calls again.
    const char* path = GetTempXmlFilePath("UpInstallInfoTemp");
    wi::xml::Document document;
    wi::xml::Element root;
    if (!documents::StartSoftwaresDocument(document, root)) {
        return "";
    }
    // One "software", whatever member sets the record holds: they are not part of it.
    wi::xml::Element software = root.AppendElement("software");
    wi::xml::Element base = software.AppendElement("BaseInfo");
    documents::AppendMembers(base, records::kBaseInfoElements, soft, records::kInstallInfo);
    wi::xml::Element version = software.AppendElement("Version");
    documents::AppendVersionInfo(version, soft, records::kInstallInfo);
    document.Save(path);
    return path;
}

const char* UploadFileInfo(const char* url, const ISoftInfoInc::_SoftInfo& soft) {
    thread_local std::string result;  // valid until this thread's next call
    const std::string path = SaveInstallInfoXml(soft);
    char reply[1024] = "";
    if (UploadFile(url, path.c_str(), reply, nullptr, nullptr) == 0) {
        reply[0] = '\0';
    }
    try {
        CXFileOperator::DeleteFile(path);
    } catch (const CXException&) {
        // A temporary file left behind does not change the reply.
    }
    return wi::frame::Refill(result, reply);
}

}  // namespace IWebInteractive
