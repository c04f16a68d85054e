// What a host needs beyond the exported operations: the machine the library works on and the
// cancel events that long operations accept.
#pragma once

#include "webinteractive/export.h"

namespace IHostInc {
// Where the emulated Windows machine lives (posix). Null or empty returns to the default:
// $WEBINTERACTIVE_PREFIX, else ~/.webinteractive. The prefix is created on first use.
// No effect on Windows.
// The machine's current directory is C:\ in every process, and no host changes it: a Windows
// path without a drive ("x.txt", "..\x", "\x") names a place on C:, and "D:x" is "D:\x". The
// host process's own working directory is never reached through a Windows path. On Windows,
// relative paths resolve in the process's current directory, as in any Windows program.
WI_EXPORT void SetMachinePrefix(const char* prefix);
// The prefix in use (posix), or "" on Windows.
WI_EXPORT const char* GetMachinePrefix();

// Cancel events for the void* cancelEvent arguments. On Windows they are event HANDLEs.
WI_EXPORT void* CreateCancelEvent(bool manualReset);
WI_EXPORT void SignalCancelEvent(void* event);
WI_EXPORT void ResetCancelEvent(void* event);
WI_EXPORT void FreeCancelEvent(void* event);

// ---- the machine as the library sees it; each text is valid until the next call ----
// The path of a special folder: 36 Windows, 37 system, 45 common templates, 46 common
// documents; "" when the machine has none.
WI_EXPORT const char* GetSpecialFolderPath(int id);
// The fixed drives the machine reports now, in letter order, separated by one space ("C: D:").
WI_EXPORT const char* GetFixedDrives();
// A configuration value as the last Init left it: "UpUserUrl", "ReadUserUrl", "UpSysUrl",
// "MachineNum" or "DownSysPatchsUrl"; "" for other names and before Init. The text stays valid
// until the next Init.
WI_EXPORT const char* GetConfigValue(const char* key);
}  // namespace IHostInc
