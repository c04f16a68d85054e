// IWebInteractive::CreateFileListXml: the file list document as text.
#include "documents/file_list_report.h"
#include "documents/file_list_tree.h"
#include "documents/xml_builder.h"
#include "webinteractive/documents.h"

namespace IWebInteractive {

const char* CreateFileListXml(const std::list<ISoftInfoInc::_SoftInfo>& softs) {
    using namespace wi::documents;
    if (softs.empty()) {
        return "";  // the shared text result, the log and the host see nothing
    }
    ClearTextResult();
    wi::xml::Document document;
    wi::xml::Element root;
    if (!StartSoftwaresDocument(document, root)) {
        return ClearTextResult();
    }
    FileListReport report;
    AppendSoftwares(root, softs, "BaseInfo", report);
    return StoreTextResult(document);
}

}  // namespace IWebInteractive
