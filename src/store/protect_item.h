// Copying one item of a protection into the store, with its status and detail lines.
#pragma once

#include <string>

#include "webinteractive/log.h"

namespace wi::store {

enum ItemKind : int {
    kSoftwareFile = 0,    // a file of the software: "<root><GUID>\<Version>\" + path after ":\"
    kDependenceFile = 1,  // a file it depends on: "<root>Dependence\" + path after ":\"
    kConfigDocument = 2,  // its configuration document: "<root><GUID>\<Version>\Config.xml"
    kProtectDocument = 3, // its protect document: "<root><GUID>\Protect.xml"
    kUserDocument = 4,    // the user document, at the user-document path itself
};

// The status and detail texts of a protection in the narrow code page, made once per protection.
struct ProtectTexts {
    ProtectTexts();
    std::string noRoom;
    std::string copying[5];     // progress line while an item is copied, one "%s"
    std::string stored[5];      // detail line of an item in the store, one "%s"
    std::string notStored[5];   // detail line of an item that is not, one "%s"
};

// Copies the item `source` of the software (guid, version) into the store and reports it in
// `entry`: 1 when it is there afterwards. A software file that is not stored still answers 1
// when its category or type (a, b) is not 0. A failed copy raises CXException.
int ProtectItemToLocal(const std::string& source, const std::string& guid,
                       const std::string& version, ItemKind kind, LogInfo& entry, int a, int b,
                       const ProtectTexts& texts);

}  // namespace wi::store
