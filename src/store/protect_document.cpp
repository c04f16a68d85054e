#include "store/protect_document.h"

#include <exception>

#include "documents/xml_builder.h"
#include "store/scratch_document.h"
#include "store/store_lock.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/frame.h"

namespace wi::store {

ProtectRecord& CurrentProtectRecord() {
    static ProtectRecord record;
    return record;
}

std::string SaveProtectXml() {
    const ProtectRecord& record = CurrentProtectRecord();
    const std::string path = IWebInteractive::GetTempXmlFilePath("ProtectTemp");
    wi::xml::Document document;
    wi::xml::Element root;
    try {
        root = document.CreateRoot("Protect");
    } catch (const wi::xml::XmlError&) {
        return "";
    }
    wi::documents::AppendText(root, "Version", record.version);
    wi::documents::AppendText(root, "InstallPath", record.installPath);
    wi::xml::Element fileList = wi::documents::AppendEmpty(root, "FileList");
    for (const auto& [source, stored] : record.files) {
        wi::xml::Element file = wi::documents::AppendEmpty(fileList, "file");
        // Paths go in unchanged: they are looked up again byte for byte.
        file.AppendElement("SourcePath", source);
        file.AppendElement("ProtectPath", stored);
    }
    document.Save(path);
    return path;
}

bool ReadProtectDocument(const std::string& path,
                         const std::function<bool(const wi::xml::Element& root)>& read) {
    if (!CXFileOperator::PathExists(path)) return false;
    StoreLock lock;
    ScratchCopy scratch(kProtectScratch);
    try {
        scratch.CopyFrom(path);
        wi::xml::Document document;
        if (!scratch.Parse(document)) return false;
        const wi::xml::Element root = document.Root();
        return root.NameIs("Protect") && read(root);
    } catch (const std::exception&) {
        return false;  // a failed copy or document access is a failed read
    }
}

}  // namespace wi::store
