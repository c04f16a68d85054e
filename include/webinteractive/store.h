// The local protection store: protecting a software's files, dependences and configuration
// entries on the fixed drives, querying, restoring and removing that protection.
#pragma once

#include <set>

#include "webinteractive/export.h"
#include "webinteractive/log.h"
#include "webinteractive/records.h"

namespace IWebInteractive {

// The protect document path the protected-software table holds for the GUID; "" when none.
WI_EXPORT const char* GetProtectXmlPath(const char* guid);
// The protected install path ("" on failure) and version (-1 on failure) from the software's
// protect document.
WI_EXPORT const char* GetProtectedInstallPath(const char* guid);
WI_EXPORT int GetProtectedVersion(const char* guid);
// Where the protect document stores the source path; "" when it holds none.
WI_EXPORT const char* GetFileProtectPath(const char* protectXmlPath, const char* sourcePath);

// Copies the software's files, dependences and configuration entries into the store: 1 when
// the protection succeeded, 0 when it was refused, failed or was cancelled (cancelEvent, or null).
WI_EXPORT int ProtectFilesToLocal(const ISoftInfoInc::_SoftInfo& soft, void* cancelEvent);
// Writes the configuration entries to a configuration document and returns its path.
WI_EXPORT const char* ProtectConfig(const std::set<IConfInfoInc::_ConfInfo>& configs);
// Applies the software's stored configuration entries again, reporting into the log entry.
WI_EXPORT int RestoreConfig(const ISoftInfoInc::_SoftInfo& soft, LogInfo& entry);
// Removes the software's protection from the store: 1 when done, 0 otherwise.
WI_EXPORT int CleanProtectSoftware(const char* guid);

}  // namespace IWebInteractive
