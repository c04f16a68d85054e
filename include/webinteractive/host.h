// What a host needs beyond the exported operations: the machine the library works on and the
// cancel events that long operations accept.
#pragma once

#include "webinteractive/export.h"

namespace IHostInc {
// Where the emulated Windows machine lives (posix). Null or empty returns to the default:
// $WEBINTERACTIVE_PREFIX, else ~/.webinteractive. The prefix is created on first use.
// No effect on Windows.
WI_EXPORT void SetMachinePrefix(const char* prefix);
// The prefix in use (posix), or "" on Windows.
WI_EXPORT const char* GetMachinePrefix();

// Cancel events for the void* cancelEvent arguments. On Windows they are event HANDLEs.
WI_EXPORT void* CreateCancelEvent(bool manualReset);
WI_EXPORT void SignalCancelEvent(void* event);
WI_EXPORT void ResetCancelEvent(void* event);
WI_EXPORT void FreeCancelEvent(void* event);
}  // namespace IHostInc
