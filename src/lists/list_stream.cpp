#include "lists/list_stream.h"

#include <utility>

namespace wi::lists {

using xml::StreamStep;

VersionReading::VersionReading(VersionParts parts, RecordBudget& budget, ReadInfo readInfo)
    : parts_(std::move(parts)), budget_(budget), readInfo_(std::move(readInfo)) {}

void VersionReading::Begin(ISoftInfoInc::_SoftInfo& record) {
    record_ = &record;
    seenInfo_ = false;
    for (bool& seen : seen_) seen = false;
    part_ = Part::kNone;
}

VersionReading::Part VersionReading::PartOf(const xml::Element& element) {
    static const struct {
        const char* name;
        Part part;
        bool VersionParts::*wanted;
    } kParts[] = {
        {"FileList", Part::kFiles, &VersionParts::items},
        {"Dependence", Part::kDependences, &VersionParts::items},
        {"Configration", Part::kConfigs, &VersionParts::items},
        {"patchs", Part::kPatchs, &VersionParts::patchs},
    };
    const std::string name = element.Name();
    for (const auto& candidate : kParts) {
        bool& seen = seen_[static_cast<int>(candidate.part)];
        if (parts_.*candidate.wanted && !seen && name == candidate.name) {
            seen = true;
            return candidate.part;
        }
    }
    return Part::kNone;
}

StreamStep VersionReading::Open(const xml::Element& element, int level) {
    if (level == 1) {
        if (!seenInfo_ && element.Name() == "VersionInfo") {
            seenInfo_ = true;
            return StreamStep::kCollect;
        }
        part_ = PartOf(element);
        partCancelled_ = false;
        return part_ == Part::kNone ? StreamStep::kSkip : StreamStep::kEnter;
    }
    if (partCancelled_) return StreamStep::kSkip;
    if (CancelRequested(parts_.cancelEvent)) {
        partCancelled_ = true;
        return StreamStep::kSkip;
    }
    if ((part_ == Part::kFiles && !element.NameIs("file")) ||
        (part_ == Part::kPatchs && !element.NameIs("patch"))) {
        return StreamStep::kSkip;
    }
    return budget_.Take(1) ? StreamStep::kCollect : StreamStep::kRefuse;
}

StreamStep VersionReading::Collected(const xml::Element& element, int level) {
    if (level == 1) {
        readInfo_(element, *record_);
        return StreamStep::kEnter;
    }
    switch (part_) {
        case Part::kFiles:
            ReadFileItem(element, *record_, status_);
            break;
        case Part::kDependences:
            ReadDependenceItem(element, *record_, status_);
            break;
        case Part::kConfigs:
            ReadConfigItem(element, *record_, status_);
            break;
        case Part::kPatchs:
            record_->patchs.push_back(ReadPatch(element, parts_.patchStatus));
            // A patch's dependences are records too.
            if (!budget_.Take(record_->patchs.back().dependences.size())) {
                return StreamStep::kRefuse;
            }
            break;
        case Part::kNone:
            break;
    }
    return StreamStep::kEnter;
}

void VersionReading::Close(int level) {
    if (level == 1) part_ = Part::kNone;
}

SoftwareListReading::SoftwareListReading(VersionParts parts, VersionReading::ReadInfo readInfo)
    : version_(std::move(parts), budget_, std::move(readInfo)) {}

StreamStep SoftwareListReading::Open(const xml::Element& element, int depth) {
    switch (depth) {
        case 0:
            return element.NameIs("softwares") ? StreamStep::kEnter : StreamStep::kSkip;
        case 1:
            return OpenSoftware(element) ? StreamStep::kEnter : StreamStep::kSkip;
        case 2:
            if (!BeforeChild()) return StreamStep::kStop;
            if (element.NameIs("BaseInfo")) return StreamStep::kCollect;
            if (!element.NameIs("Version")) return StreamStep::kSkip;
            if (ISoftInfoInc::_SoftInfo* record = NewVersion()) {
                version_.Begin(*record);
                return StreamStep::kEnter;
            }
            return StreamStep::kRefuse;
        default:
            return version_.Open(element, depth - 2);
    }
}

StreamStep SoftwareListReading::Collected(const xml::Element& element, int depth) {
    if (depth > 2) return version_.Collected(element, depth - 2);
    ReadBase(element);
    return StreamStep::kEnter;
}

StreamStep SoftwareListReading::Close(const xml::Element&, int depth) {
    if (depth > 2) version_.Close(depth - 2);
    return StreamStep::kEnter;
}

}  // namespace wi::lists
