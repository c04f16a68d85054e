// IWebInteractive::ParsePatchsList: the patches of each software version of a patch list
// document, into the list that DownloadFileList also returns.
#include <string>

#include "frame/text.h"
#include "inc/narrow_text.h"
#include "service/file_list_tables.h"
#include "service/list_readers.h"
#include "webinteractive/lists.h"
#include "webinteractive/status.h"

namespace wi::service {

void ReadPatchListDocument(const xml::Document& document,
                           std::list<ISoftInfoInc::_SoftInfo>& softs) {
    const xml::Element root = document.Root();
    if (!root.NameIs("softwares")) return;
    const std::string versionStatus = inc::NarrowFromUtf8("正在解析补丁列表...%s");
    const std::string patchStatus = inc::NarrowFromUtf8("正在解析补丁...%s");
    // Every child of the root is a software, whatever its name.
    for (const xml::Element& software : root.Children()) {
        BaseValues base;
        for (const xml::Element& child : software.Children()) {
            if (child.NameIs("BaseInfo")) {
                ReadBaseInfo(child, base, /*withGuid=*/true, /*locked=*/nullptr);
            } else if (child.NameIs("Version")) {
                ISoftInfoInc::_SoftInfo soft;
                if (const xml::Element versionInfo = child.FirstChild("VersionInfo")) {
                    base.CopyInto(soft);
                    soft.GUID = base.GUID;
                    IHelperInc::MakeStatus(versionStatus.c_str(), soft.GUID.c_str());
                    ReadVersionInfo(versionInfo, soft, /*withOSCode=*/false);
                }
                ReadPatchs(child, soft.patchs, patchStatus);
                softs.push_back(std::move(soft));
            }
        }
    }
}

}  // namespace wi::service

namespace IWebInteractive {

const std::list<ISoftInfoInc::_SoftInfo>& ParsePatchsList(const char* text) {
    std::list<ISoftInfoInc::_SoftInfo>& softs = wi::service::DownloadedSoftList();
    softs.clear();
    wi::xml::Document document;
    // The text is read in the narrow code page; bytes that are not valid there but name their
    // encoding in their declaration (a GB2312 answer on a UTF-8 host) are decoded by it.
    if (!document.ParseBytes(wi::frame::OrEmpty(text))) return softs;
    wi::service::ReadPatchListDocument(document, softs);
    return softs;
}

}  // namespace IWebInteractive
