#include "store/user_document.h"

#include "documents/xml_builder.h"
#include "store/document_replace.h"
#include "store/protected_table.h"
#include "userinfo/user_xml_path.h"
#include "webinteractive/FileOperator.h"

namespace wi::store {

namespace {

// The user document of these pairs, saved to a new temporary path; "" when no document can be
// made. `leaveOut` names a GUID whose pairs are not written (none when empty).
std::string SaveUserDocument(const std::string& leaveOut) {
    wi::xml::Document document;
    wi::xml::Element root;
    try {
        root = document.CreateRoot("user");
    } catch (const wi::xml::XmlError&) {
        return "";
    }
    for (const ProtectedPair& pair : ProtectedPairs()) {
        if (!leaveOut.empty() && pair.first == leaveOut) continue;
        wi::xml::Element software = wi::documents::AppendEmpty(root, "software");
        // Written unchanged: the loader reads them back as they are.
        software.AppendElement("guid", pair.first);
        software.AppendElement("protect_xml", pair.second);
    }
    return wi::documents::SaveToTempFile(document, "UserTemp");
}

}  // namespace

std::string SaveUserXml() { return SaveUserDocument(""); }

void SaveUserXmlWithout(const std::string& guid) {
    if (guid.empty() || ProtectedPairs().empty()) return;
    const std::string temporary = SaveUserDocument(guid);
    const std::string userXml = wi::userinfo::GetUserXmlPath();
    if (!CXFileOperator::PathExists(temporary)) return;
    ReplaceStoreDocument(temporary, userXml);
    CXFileOperator::DeleteFile(temporary);
}

}  // namespace wi::store
