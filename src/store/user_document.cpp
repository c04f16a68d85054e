#include "store/user_document.h"

#include <memory>
#include <vector>

#include "documents/xml_builder.h"
#include "inc/file_error.h"
#include "platform/files.h"
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
    ReplaceUserDocument(temporary, userXml);
    CXFileOperator::DeleteFile(temporary);
}

void ReplaceUserDocument(const std::string& source, const std::string& destination) {
    constexpr const char* kOperation = "CXFileOperator::CopyFile";
    if (source.empty() || destination.empty()) return;
    if (CXFileOperator::PathExists(destination)) {
        wi::platform::SetFileAttributes(destination, wi::platform::kAttrNormal);
    }
    std::unique_ptr<wi::platform::File> in = wi::platform::OpenForRead(source);
    if (!in) wi::inc::RaiseFileError(kOperation);
    std::unique_ptr<wi::platform::PendingFile> out = wi::platform::OpenReplacement(destination);
    if (!out) wi::inc::RaiseFileError(kOperation);
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const long long count = in->Read(buffer.data(), buffer.size());
        if (count < 0) wi::inc::RaiseFileError(kOperation);  // `out` is abandoned: old file kept
        if (count == 0) break;
        if (!out->Write(buffer.data(), static_cast<std::size_t>(count))) {
            wi::inc::RaiseFileError(kOperation);
        }
    }
    if (!out->Commit()) wi::inc::RaiseFileError(kOperation);
}

}  // namespace wi::store
