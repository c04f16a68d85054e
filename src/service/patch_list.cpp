// IWebInteractive::ParsePatchsList: the patches of each software version of a patch list
// document, into the list that DownloadFileList also returns.
#include <string>

#include "frame/text.h"
#include "inc/narrow_text.h"
#include "service/file_list_tables.h"
#include "service/list_readers.h"
#include "service/list_stream.h"
#include "webinteractive/lists.h"
#include "webinteractive/status.h"

namespace wi::service {

namespace {

using xml::StreamStep;

// A patch list as it streams: every child of a "softwares" root is a software, whatever its name,
// with its "BaseInfo" values (GUID included) and one record per "Version".
class PatchListReading : public xml::StreamVisitor {
public:
    PatchListReading()
        : versionStatus_(inc::NarrowFromUtf8("正在解析补丁列表...%s")),
          version_({/*items=*/false, /*patchs=*/true, inc::NarrowFromUtf8("正在解析补丁...%s"),
                    /*cancelEvent=*/nullptr},
                   budget_, [this](const xml::Element& versionInfo, ISoftInfoInc::_SoftInfo& soft) {
                       base_.CopyInto(soft);
                       soft.GUID = base_.GUID;
                       IHelperInc::MakeStatus(versionStatus_.c_str(), soft.GUID.c_str());
                       ReadVersionInfo(versionInfo, soft, /*withOSCode=*/false);
                   }) {}

    StreamStep Open(const xml::Element& element, int depth) override {
        switch (depth) {
            case 0:
                return element.NameIs("softwares") ? StreamStep::kEnter : StreamStep::kSkip;
            case 1:
                base_ = BaseValues();
                return StreamStep::kEnter;
            case 2:
                if (element.NameIs("BaseInfo")) return StreamStep::kCollect;
                if (!element.NameIs("Version")) return StreamStep::kSkip;
                if (!budget_.TakeVersion()) return StreamStep::kRefuse;
                softs_.emplace_back();
                version_.Begin(softs_.back());
                return StreamStep::kEnter;
            default:
                return version_.Open(element, depth - 2);
        }
    }

    StreamStep Collected(const xml::Element& element, int depth) override {
        if (depth > 2) return version_.Collected(element, depth - 2);
        ReadBaseInfo(element, base_, /*withGuid=*/true, /*locked=*/nullptr);
        return StreamStep::kEnter;
    }

    StreamStep Close(const xml::Element&, int depth) override {
        if (depth > 2) version_.Close(depth - 2);
        return StreamStep::kEnter;
    }

    std::list<ISoftInfoInc::_SoftInfo>& Softs() { return softs_; }

private:
    const std::string versionStatus_;
    RecordBudget budget_;
    VersionReading version_;
    BaseValues base_;
    std::list<ISoftInfoInc::_SoftInfo> softs_;
};

}  // namespace

bool ReadPatchListDocument(xml::StreamSource source, const std::string& input,
                           std::list<ISoftInfoInc::_SoftInfo>& softs) {
    PatchListReading reading;
    if (xml::Stream(source, input, reading) == xml::StreamResult::kRefused) return false;
    softs.splice(softs.end(), reading.Softs());
    return true;
}

}  // namespace wi::service

namespace IWebInteractive {

const std::list<ISoftInfoInc::_SoftInfo>& ParsePatchsList(const char* text) {
    std::list<ISoftInfoInc::_SoftInfo>& softs = wi::service::DownloadedSoftList();
    softs.clear();
    // The text is read in the narrow code page; bytes that are not valid there but name their
    // encoding in their declaration (a GB2312 answer on a UTF-8 host) are decoded by it.
    wi::service::ReadPatchListDocument(wi::xml::StreamSource::kBytes, wi::frame::OrEmpty(text),
                                       softs);
    return softs;
}

}  // namespace IWebInteractive
