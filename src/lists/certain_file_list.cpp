// IWebInteractive::SaveCertainFileListXml and DownloadCertainFileList: one version of a software
// (typically its latest) with its patches, read into the one record the library holds.
#include <string>

#include "frame/query.h"
#include "frame/text.h"
#include "inc/narrow_text.h"
#include "lists/file_list_tables.h"
#include "lists/list_readers.h"
#include "lists/list_stream.h"
#include "transfer/download.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/frame.h"
#include "webinteractive/lists.h"
#include "webinteractive/status.h"

namespace wi::lists {

namespace {

ISoftInfoInc::_SoftInfo& LatestVersionRecord() {
    static ISoftInfoInc::_SoftInfo record;
    return record;
}

// Clears what each new document is expected to bring. The identity members (product_id, pn_name,
// pn_version, DownloadPath, Version, creator, OSCode, Type, WindowsVersion, Category,
// analyse_result, is_protected) keep the previous call's values until the document gives new
// ones.
void Reset(ISoftInfoInc::_SoftInfo& record, const std::string& guid) {
    record.GUID = guid;
    for (std::string* text :
         {&record.authorized_prefix, &record.comments, &record.contact, &record.Name,
          &record.OriginalVersion, &record.HelpLink, &record.help_telephone,
          &record.install_date, &record.SetupPath, &record.SetupSourcePath, &record.Vendor,
          &record.readme, &record.UpdateLink, &record.special_code}) {
        text->clear();
    }
    for (int* number : {&record.estimated_size, &record.language, &record.no_modify,
                        &record.no_remove, &record.no_repair, &record.system_component,
                        &record.version_info, &record.version_major, &record.version_minor,
                        &record.windows_installer}) {
        *number = 0;
    }
    record.Size = 0;
    record.files.clear();
    record.dependences.clear();
    record.configs.clear();
    record.patchs.clear();
}

// A latest-version list: the first "software" child of the root (exact name), its "BaseInfo"
// values, and every "Version" merged into the one record. A status line goes before every child
// of the software.
class CertainListReading : public SoftwareListReading {
public:
    CertainListReading(const std::string& guid, ISoftInfoInc::_SoftInfo& record)
        : SoftwareListReading({/*items=*/true, /*patchs=*/true,
                               inc::NarrowFromUtf8("正在解析补丁信息...%s"), /*cancelEvent=*/nullptr},
                              [this](const xml::Element& info, ISoftInfoInc::_SoftInfo& soft) {
                                  base_.CopyInto(soft);
                                  ReadVersionInfo(info, records::kServiceFileList, soft);
                              }),
          guid_(guid),
          record_(record),
          childStatus_(inc::NarrowFromUtf8("正在解析软件的基本信息...%s")) {}

private:
    bool OpenSoftware(const xml::Element& software) override {
        if (foundSoftware_ || software.Name() != "software") return false;
        foundSoftware_ = true;
        return true;
    }
    bool BeforeChild() override {
        IHelperInc::MakeStatus(childStatus_.c_str(), guid_.c_str());
        return true;
    }
    ISoftInfoInc::_SoftInfo* NewVersion() override { return &record_; }
    void ReadBase(const xml::Element& baseInfo) override {
        ReadBaseInfo(baseInfo, records::kServiceFileList, base_, /*locked=*/nullptr);
    }

    const std::string& guid_;
    ISoftInfoInc::_SoftInfo& record_;
    const std::string childStatus_;
    BaseValues base_;
    bool foundSoftware_ = false;
};

}  // namespace

bool ReadCertainFileListDocument(xml::StreamSource source, const std::string& input,
                                 const std::string& guid, ISoftInfoInc::_SoftInfo& record) {
    ISoftInfoInc::_SoftInfo read = record;
    CertainListReading reading(guid, read);
    if (xml::Stream(source, input, reading) == xml::StreamResult::kRefused) return false;
    record = std::move(read);
    return true;
}

}  // namespace wi::lists

namespace IWebInteractive {

const char* SaveCertainFileListXml(const char* url, const char* guid, int version) {
    std::string id = wi::frame::OrEmpty(guid);
    IHelperInc::MakeStatus(
        wi::inc::NarrowFromUtf8("正在下载软件的最新版本软件列表...%s").c_str(), id.c_str());
    const char* path = GetTempXmlFilePath("DownCertainFileTemp");
    if (id.empty()) return "";
    const std::string address = wi::frame::AppendQueryParameter(
        wi::frame::OrEmpty(url),
        "guid=" + wi::frame::EncodeQueryValue(id) + "&version=" + std::to_string(version));
    return wi::transfer::DownloadBounded(address.c_str(), path, nullptr, nullptr,
                                         wi::xml::kMaxFileBytes) != 0
               ? path
               : "";
}

const ISoftInfoInc::_SoftInfo& DownloadCertainFileList(const char* url, const char* guid,
                                                       int version) {
    ISoftInfoInc::_SoftInfo& record = wi::lists::LatestVersionRecord();
    const std::string id = wi::frame::OrEmpty(guid);
    const std::string path = SaveCertainFileListXml(url, guid, version);
    // Without a downloaded document the record stays as the previous call left it.
    if (!CXFileOperator::PathExists(path)) return record;
    wi::lists::Reset(record, id);
    IHelperInc::MakeStatus(
        wi::inc::NarrowFromUtf8("正在解析软件的最新版本软件列表...%s").c_str(), id.c_str());
    // A document that does not parse, or holds more than a list reader builds, stays on disk for
    // whoever wants to see what came.
    if (!wi::lists::ReadCertainFileListDocument(wi::xml::StreamSource::kFile, path, id,
                                                  record)) {
        return record;
    }
    if (CXFileOperator::PathExists(path)) CXFileOperator::DeleteFile(path);
    return record;
}

}  // namespace IWebInteractive
