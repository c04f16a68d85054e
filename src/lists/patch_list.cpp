// IWebInteractive::ParsePatchsList: the patches of each software version of a patch list
// document, into the list that DownloadFileList also returns.
#include <string>

#include "frame/text.h"
#include "inc/narrow_text.h"
#include "lists/file_list_tables.h"
#include "lists/list_readers.h"
#include "lists/list_stream.h"
#include "webinteractive/lists.h"
#include "webinteractive/status.h"

namespace wi::lists {

namespace {

// A patch list: every child of the root is a software, whatever its name, with its "BaseInfo"
// values (GUID included) and one record per "Version".
class PatchListReading : public SoftwareListReading {
public:
    PatchListReading()
        : SoftwareListReading({/*items=*/false, /*patchs=*/true,
                               inc::NarrowFromUtf8("正在解析补丁...%s"), /*cancelEvent=*/nullptr},
                              [this](const xml::Element& info, ISoftInfoInc::_SoftInfo& soft) {
                                  base_.CopyInto(soft);
                                  soft.GUID = base_.values.GUID;
                                  IHelperInc::MakeStatus(versionStatus_.c_str(), soft.GUID.c_str());
                                  ReadVersionInfo(info, records::kServicePatchList, soft);
                              }),
          versionStatus_(inc::NarrowFromUtf8("正在解析补丁列表...%s")) {}

    std::list<ISoftInfoInc::_SoftInfo>& Softs() { return softs_; }

private:
    bool OpenSoftware(const xml::Element&) override {
        base_ = BaseValues();
        return true;
    }
    ISoftInfoInc::_SoftInfo* NewVersion() override {
        if (!budget_.TakeVersion()) return nullptr;
        softs_.emplace_back();
        return &softs_.back();
    }
    void ReadBase(const xml::Element& baseInfo) override {
        ReadBaseInfo(baseInfo, records::kServicePatchList, base_, /*locked=*/nullptr);
    }

    const std::string versionStatus_;
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

}  // namespace wi::lists

namespace IWebInteractive {

const std::list<ISoftInfoInc::_SoftInfo>& ParsePatchsList(const char* text) {
    std::list<ISoftInfoInc::_SoftInfo>& softs = wi::lists::DownloadedSoftList();
    softs.clear();
    // The text is read in the narrow code page; bytes that are not valid there but name their
    // encoding in their declaration (a GB2312 answer on a UTF-8 host) are decoded by it.
    wi::lists::ReadPatchListDocument(wi::xml::StreamSource::kBytes, wi::frame::OrEmpty(text),
                                       softs);
    return softs;
}

}  // namespace IWebInteractive
