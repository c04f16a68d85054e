// IWebInteractive::SaveDownloadFileListXml and DownloadFileList: every version of one software,
// with its files, dependences and configuration entries, as the service describes it.
#include <string>

#include "frame/query.h"
#include "frame/text.h"
#include "inc/narrow_text.h"
#include "service/file_list_tables.h"
#include "service/list_readers.h"
#include "transfer/download.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/frame.h"
#include "webinteractive/lists.h"
#include "webinteractive/status.h"

namespace wi::service {

void ReadFileListDocument(const xml::Document& document, const std::string& guid, int& locked,
                          void* cancelEvent, std::list<ISoftInfoInc::_SoftInfo>& softs) {
    const xml::Element root = document.Root();
    if (!root.NameIs("softwares")) return;
    const xml::Element software = root.FirstChild("software");
    if (!software) return;

    const std::string versionStatus =
        inc::NarrowFromUtf8("正在解析基本软件信息：%s，版本：%s...");
    const ListStatusTexts status;
    locked = 0;
    BaseValues base;
    for (const xml::Element& child : software.Children()) {
        if (CancelRequested(cancelEvent)) return;
        if (child.NameIs("BaseInfo")) {
            ReadBaseInfo(child, base, /*withGuid=*/false, &locked);
        } else if (child.NameIs("Version")) {
            ISoftInfoInc::_SoftInfo soft;
            if (const xml::Element versionInfo = child.FirstChild("VersionInfo")) {
                base.CopyInto(soft);
                ReadVersionInfo(versionInfo, soft, /*withOSCode=*/true);
                IHelperInc::MakeStatus(versionStatus.c_str(), guid.c_str(), soft.Version.c_str());
            }
            ReadFileList(child, soft, status, cancelEvent);
            ReadDependences(child, soft, status, cancelEvent);
            ReadConfigs(child, soft, status, cancelEvent);
            softs.push_back(std::move(soft));
        }
    }
}

}  // namespace wi::service

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
    std::list<ISoftInfoInc::_SoftInfo>& softs = wi::service::DownloadedSoftList();
    softs.clear();
    const std::string id = wi::frame::OrEmpty(guid);
    const std::string path = SaveDownloadFileListXml(url, guid, specialCode, pnVersion);
    if (!CXFileOperator::PathExists(path)) return softs;
    IHelperInc::MakeStatus(wi::inc::NarrowFromUtf8("正在解析文件列表...%s").c_str(), id.c_str());
    wi::xml::Document document;
    // A document that does not parse stays on disk, for whoever wants to see what came.
    if (!document.ParseFile(path)) return softs;
    wi::service::ReadFileListDocument(document, id, locked, cancelEvent, softs);
    if (CXFileOperator::PathExists(path)) CXFileOperator::DeleteFile(path);
    return softs;
}

}  // namespace IWebInteractive
