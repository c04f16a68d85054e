// IWebInteractive::SaveDownloadFileListXml and DownloadFileList: every version of one software,
// with its files, dependences and configuration entries, as the service describes it.
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

// A file list: the first "software" child of the root (exact name), its "BaseInfo" values and
// "locked", and one record per "Version". The cancel event is tested before every child of the
// software (a signalled test ends the reading) and every item (it ends that part).
class FileListReading : public SoftwareListReading {
public:
    FileListReading(const std::string& guid, void* cancelEvent)
        : SoftwareListReading({/*items=*/true, /*patchs=*/false, "", cancelEvent},
                              [this](const xml::Element& info, ISoftInfoInc::_SoftInfo& soft) {
                                  base_.CopyInto(soft);
                                  ReadVersionInfo(info, records::kServiceFileList, soft);
                                  IHelperInc::MakeStatus(versionStatus_.c_str(), guid_.c_str(),
                                                         soft.Version.c_str());
                              }),
          guid_(guid),
          cancelEvent_(cancelEvent),
          versionStatus_(inc::NarrowFromUtf8("正在解析基本软件信息：%s，版本：%s...")) {}

    // What was read, for a read that was not refused.
    void Deliver(int& locked, std::list<ISoftInfoInc::_SoftInfo>& softs) {
        if (foundSoftware_) locked = locked_;
        softs.splice(softs.end(), softs_);
    }

private:
    bool OpenSoftware(const xml::Element& software) override {
        if (foundSoftware_ || software.Name() != "software") return false;
        foundSoftware_ = true;
        locked_ = 0;
        return true;
    }
    bool BeforeChild() override { return !CancelRequested(cancelEvent_); }
    ISoftInfoInc::_SoftInfo* NewVersion() override {
        if (!budget_.TakeVersion()) return nullptr;
        softs_.emplace_back();
        return &softs_.back();
    }
    void ReadBase(const xml::Element& baseInfo) override {
        ReadBaseInfo(baseInfo, records::kServiceFileList, base_, &locked_);
    }

    const std::string& guid_;
    void* const cancelEvent_;
    const std::string versionStatus_;
    BaseValues base_;
    bool foundSoftware_ = false;
    int locked_ = 0;
    std::list<ISoftInfoInc::_SoftInfo> softs_;
};

}  // namespace

bool ReadFileListDocument(xml::StreamSource source, const std::string& input,
                          const std::string& guid, int& locked, void* cancelEvent,
                          std::list<ISoftInfoInc::_SoftInfo>& softs) {
    FileListReading reading(guid, cancelEvent);
    if (xml::Stream(source, input, reading) == xml::StreamResult::kRefused) return false;
    reading.Deliver(locked, softs);
    return true;
}

}  // namespace wi::lists

namespace IWebInteractive {

const char* SaveDownloadFileListXml(const char* url, const char* guid, const char* specialCode,
                                    const char* pnVersion) {
    using wi::frame::EncodeQueryValue;
    std::string id = wi::frame::OrEmpty(guid);
    IHelperInc::MakeStatus(wi::inc::NarrowFromUtf8("正在下载软件的文件列表...%s").c_str(),
                           id.c_str());
    const char* path = GetTempXmlFilePath("DownFileListTemp");
    if (id.empty()) return "";
    std::string code = wi::frame::OrEmpty(specialCode);
    std::string version = wi::frame::OrEmpty(pnVersion);
    const std::string address = wi::frame::AppendQueryParameter(
        wi::frame::OrEmpty(url), "guid=" + EncodeQueryValue(id) +
                                     "&special_code=" + EncodeQueryValue(code) +
                                     "&pnversion=" + EncodeQueryValue(version));
    return wi::transfer::DownloadBounded(address.c_str(), path, nullptr, nullptr,
                                         wi::xml::kMaxFileBytes) != 0
               ? path
               : "";
}

const std::list<ISoftInfoInc::_SoftInfo>& DownloadFileList(const char* url, const char* guid,
                                                          const char* specialCode,
                                                          const char* pnVersion, int& locked,
                                                          void* cancelEvent) {
    std::list<ISoftInfoInc::_SoftInfo>& softs = wi::lists::DownloadedSoftList();
    softs.clear();
    const std::string id = wi::frame::OrEmpty(guid);
    const std::string path = SaveDownloadFileListXml(url, guid, specialCode, pnVersion);
    if (!CXFileOperator::PathExists(path)) return softs;
    IHelperInc::MakeStatus(wi::inc::NarrowFromUtf8("正在解析文件列表...%s").c_str(), id.c_str());
    // A document that does not parse, or holds more than a list reader builds, stays on disk for
    // whoever wants to see what came.
    if (!wi::lists::ReadFileListDocument(wi::xml::StreamSource::kFile, path, id, locked,
                                           cancelEvent, softs)) {
        return softs;
    }
    if (CXFileOperator::PathExists(path)) CXFileOperator::DeleteFile(path);
    return softs;
}

}  // namespace IWebInteractive
