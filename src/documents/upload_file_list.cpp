// The file list document in the form the service receives: saved to a file, and posted.
#include "documents/file_list_tree.h"
#include "documents/xml_builder.h"
#include "frame/text.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/documents.h"
#include "webinteractive/frame.h"
#include "webinteractive/transfer.h"

namespace wi::documents {

namespace {

// Writes the upload file list of a non-empty list to the path, replacing any file there. False
// when no document could be made (nothing is written); throws xml::XmlError when the tree cannot
// be built or the file cannot be written.
bool SaveUploadFileList(const std::string& path, const std::list<ISoftInfoInc::_SoftInfo>& softs) {
    ClearTextResult();
    xml::Document document;
    xml::Element root;
    if (!StartSoftwaresDocument(document, root)) {
        return false;
    }
    FileListSteps quiet;  // no status lines, no log entries
    AppendSoftwares(root, softs, "Baseinfo", quiet);
    document.Save(path);
    return true;
}

}  // namespace

}  // namespace wi::documents

namespace IWebInteractive {

void SaveUploadFileListXml(const char* path, const std::list<ISoftInfoInc::_SoftInfo>& softs) {
    if (!softs.empty()) {
        wi::documents::SaveUploadFileList(wi::frame::OrEmpty(path), softs);
    }
}

int UploadFileList(const char* url, const std::list<ISoftInfoInc::_SoftInfo>& softs) {
    if (softs.empty()) {
        return 0;
    }
    const std::string path = GetTempXmlFilePath("UpFileListTemp");
    // Without a document there is nothing to post: an empty body would only tell the service
    // of a list that was never written.
    if (!wi::documents::SaveUploadFileList(path, softs)) {
        return 0;
    }
    const int result = UploadFile(url, path.c_str(), nullptr, nullptr, nullptr);
    if (CXFileOperator::PathExists(path)) {
        CXFileOperator::DeleteFile(path);
    }
    return result;
}

}  // namespace IWebInteractive
