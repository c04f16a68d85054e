// IWebInteractive::CleanProtectSoftware: a software's directories on every store root, its
// entry in the user document and its pairs in the table. The shared "Dependence" areas stay.
#include <string>

#include "frame/drives.h"
#include "frame/text.h"
#include "store/protected_table.h"
#include "store/store_layout.h"
#include "store/store_lock.h"
#include "store/user_document.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/frame.h"
#include "webinteractive/store.h"

namespace IWebInteractive {

int CleanProtectSoftware(const char* guid) {
    const std::string software = wi::frame::OrEmpty(guid);
    wi::store::StoreLock lock;
    // Another process may have protected or cleaned softwares since this one read the user
    // document: read it again, so that the rewrite below keeps their entries.
    wi::store::RefreshProtectedTable();
    // A software counts as protected when its protect document reads a version other than -1.
    // A GUID that cannot name a store directory never does, so it never reaches the command.
    if (GetProtectedVersion(software.c_str()) == -1) return 0;

    for (const std::string& drive : wi::frame::FixedDrives()) {
        const std::string directory = wi::store::StoreRootDirectory(drive) + "\\" + software;
        if (!CXFileOperator::PathExists(directory)) continue;
        std::string command = "/c rmdir /s /q \"" + directory + "\"";
        ExcuseDosCommand(command);
    }
    wi::store::SaveUserXmlWithout(software);
    wi::store::LoadProtectedTable();
    return 1;
}

}  // namespace IWebInteractive
