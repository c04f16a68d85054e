#include "store/scratch_document.h"

#include "webinteractive/FileOperator.h"

namespace wi::store {

const char kProtectScratch[] = "C:\\Protect.xml";
const char kUserScratch[] = "C:\\qeluser.xml";
const char kConfigScratch[] = "C:\\Config.xml";

ScratchCopy::~ScratchCopy() {
    try {
        Remove();
    } catch (const CXException&) {
    }
}

void ScratchCopy::CopyFrom(const std::string& storedPath) {
    copied_ = false;
    CXFileOperator::CopyFile(storedPath, path_, false);
    copied_ = true;
}

bool ScratchCopy::Parse(wi::xml::Document& document) const {
    if (!copied_) return false;
    try {
        return document.ParseFile(path_);
    } catch (const wi::xml::XmlError&) {
        return false;  // no document could be made
    }
}

void ScratchCopy::Remove() {
    copied_ = false;
    if (CXFileOperator::PathExists(path_)) CXFileOperator::DeleteFile(path_);
}

}  // namespace wi::store
