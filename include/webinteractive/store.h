/// @file
/// The local protection store: protecting a software's files, dependences and configuration
/// entries on the fixed drives, querying, restoring and removing that protection.
#pragma once

#include <set>

#include "webinteractive/export.h"
#include "webinteractive/log.h"
#include "webinteractive/records.h"

namespace IWebInteractive {

/// The protect document path the protected-software table holds for the GUID; "" when none.
/// A GUID that cannot name one store directory (empty, "." or "..", or holding "\", "/", ":",
/// a double quote or a control character) is never protected: "" and -1 below. Texts returned
/// are kept per thread until that thread's next call of the same operation.
WI_EXPORT const char* GetProtectXmlPath(const char* guid);
/// The protected install path ("" on failure) from the software's protect document, read
/// through the scratch copy "C:\Protect.xml"; it never raises.
WI_EXPORT const char* GetProtectedInstallPath(const char* guid);
/// The protected version (-1 on failure), read as GetProtectedInstallPath reads the path.
WI_EXPORT int GetProtectedVersion(const char* guid);
/// Where the protect document stores the source path (the last item naming it, compared byte for
/// byte); "" when it holds none.
WI_EXPORT const char* GetFileProtectPath(const char* protectXmlPath, const char* sourcePath);

/// Copies the software's files, dependences and configuration entries into the store: 1 when
/// the protection succeeded, 0 when it was refused, failed or was cancelled (cancelEvent, or null).
/// A GUID or Version that cannot name a store directory is refused. A file whose path after ":\"
/// climbs with ".." is not stored. A copy that fails (a full disk) raises CXException; the user
/// document is replaced in one step, so it always stays whole.
WI_EXPORT int ProtectFilesToLocal(const ISoftInfoInc::_SoftInfo& soft, void* cancelEvent);
/// Writes the configuration entries to a configuration document and returns its path.
WI_EXPORT const char* ProtectConfig(const std::set<IConfInfoInc::_ConfInfo>& configs);
/// Applies the software's stored configuration entries again, reporting into the log entry.
WI_EXPORT int RestoreConfig(const ISoftInfoInc::_SoftInfo& soft, LogInfo& entry);
/// Removes the software's protection from the store (its directories on every fixed drive, its
/// entries in the user document and the table; the shared "Dependence" areas stay): 1 when done,
/// 0 when the software does not count as protected and nothing was removed.
WI_EXPORT int CleanProtectSoftware(const char* guid);

}  // namespace IWebInteractive
