// The software list document: the identity of every software the host knows, returned as text or
// posted to the service.
#include <set>
#include <string>

#include "documents/file_list_tree.h"
#include "documents/xml_builder.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/documents.h"
#include "webinteractive/transfer.h"

namespace {

using ISoftInfoInc::_SoftID;

// One "software" with its "BaseInfo" per identity, in set order.
void AppendSoftIds(wi::xml::Element& root, const std::set<_SoftID>& ids) {
    for (const _SoftID& id : ids) {
        wi::xml::Element software = root.AppendElement("software");
        wi::xml::Element base = software.AppendElement("BaseInfo");
        wi::documents::AppendText(base, "GUID", id.GUID);
        wi::documents::AppendText(base, "pn_name", id.pn_name);
        wi::documents::AppendText(base, "pn_version", id.pn_version);
    }
}

}  // namespace

namespace IWebInteractive {

const char* CreateSoftListXml(const std::set<_SoftID>& ids) {
    const char* empty = wi::documents::ClearTextResult();
    wi::xml::Document document;
    wi::xml::Element root;
    if (!wi::documents::StartSoftwaresDocument(document, root)) {
        return empty;
    }
    AppendSoftIds(root, ids);
    return wi::documents::StoreTextResult(document);
}

int UploadSoftList(const char* url, const std::set<_SoftID>& ids) {
    wi::xml::Document document;
    wi::xml::Element root;
    if (!wi::documents::StartSoftwaresDocument(document, root)) {
        return 0;
    }
    AppendSoftIds(root, ids);
    const std::string path = wi::documents::SaveToTempFile(document, "UpSoftTempXml");
    const int result = UploadFile(url, path.c_str(), nullptr, nullptr, nullptr);
    // A file that cannot be deleted raises CXException to the caller.
    if (CXFileOperator::PathExists(path)) {
        CXFileOperator::DeleteFile(path);
    }
    return result;
}

}  // namespace IWebInteractive
