// The per-software protect document ("Protect.xml"): what a protection copied where, with the
// version and install path it protected.
//
//   Protect / Version, InstallPath, FileList / file / SourcePath, ProtectPath
#pragma once

#include <functional>
#include <list>
#include <string>
#include <utility>

#include "platform/xml_dom.h"

namespace wi::store {

// The running protection's document values: "-1", "" and no pairs until it has succeeded.
struct ProtectRecord {
    std::string version = "-1";
    std::string installPath;
    std::list<std::pair<std::string, std::string>> files;  // (source path, store path)
};

// The process's record, which the protection resets at its start and fills as it copies.
ProtectRecord& CurrentProtectRecord();

// Writes the current record to a new temporary document named "ProtectTemp..." and returns
// its path; "" when no document can be made. A failed save raises xml::XmlError.
std::string SaveProtectXml();

// Reads the protect document at this path through the scratch copy "C:\Protect.xml": calls
// `read` with its root when the file exists, parses and its root is "Protect" (any letter case).
// False when any of that fails or `read` answers false; never raises. The scratch copy is gone
// afterwards, whatever the outcome.
bool ReadProtectDocument(const std::string& path,
                         const std::function<bool(const wi::xml::Element& root)>& read);

}  // namespace wi::store
