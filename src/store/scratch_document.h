// The store's documents are never parsed in place: each is copied to a fixed scratch path on
// drive C:, parsed there, and the scratch copy is deleted again.
//
//   ScratchCopy scratch(kProtectScratch);
//   scratch.CopyFrom(storedPath);            // raises CXException when the copy fails
//   xml::Document document;
//   if (scratch.Parse(document)) { ... }
//   scratch.Remove();                        // or leave it to the destructor
#pragma once

#include <string>

#include "platform/xml_dom.h"

namespace wi::store {

extern const char kProtectScratch[];  // "C:\Protect.xml": protect documents
extern const char kUserScratch[];     // "C:\qeluser.xml": the user document
extern const char kConfigScratch[];   // "C:\Config.xml": configuration documents

class ScratchCopy {
public:
    explicit ScratchCopy(std::string scratchPath) : path_(std::move(scratchPath)) {}
    // Deletes the scratch file if one is there, quietly: an error cannot leave a destructor.
    ~ScratchCopy();
    ScratchCopy(const ScratchCopy&) = delete;
    ScratchCopy& operator=(const ScratchCopy&) = delete;

    const std::string& Path() const { return path_; }

    // Copies the stored document over the scratch path (CXFileOperator::CopyFile, overwriting an
    // old scratch file); raises CXException when the copy fails.
    void CopyFrom(const std::string& storedPath);
    // True once CopyFrom succeeded: only a copy made here is ever parsed, never a stale file
    // that an interrupted run left at the scratch path.
    bool Copied() const { return copied_; }
    // Parses the copy made by CopyFrom; false when there is none or it does not parse.
    bool Parse(wi::xml::Document& document) const;
    // Deletes the scratch file if one is there (CXFileOperator::DeleteFile; raises CXException).
    void Remove();

private:
    std::string path_;
    bool copied_ = false;
};

}  // namespace wi::store
