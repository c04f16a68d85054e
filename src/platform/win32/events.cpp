// Event objects as real event handles, so that a host on Windows may pass its own event handles
// to the cancel arguments, and the library's own ones to Win32 waits.
#include "platform/win32/windows_api.h"

#include "platform/events.h"

namespace wi::platform {

void* CreateEventObject(bool manualReset, bool initiallySignalled) {
    return CreateEventW(nullptr, manualReset ? TRUE : FALSE, initiallySignalled ? TRUE : FALSE,
                        nullptr);
}

bool SetEventObject(void* event) { return event != nullptr && SetEvent(event) != FALSE; }

bool ResetEventObject(void* event) { return event != nullptr && ResetEvent(event) != FALSE; }

void CloseEventObject(void* event) {
    if (event != nullptr && event != INVALID_HANDLE_VALUE) CloseHandle(event);
}

bool IsEventSignalled(void* event) {
    // A handle that is no live object fails the wait (WAIT_FAILED) and counts as not signalled;
    // a signalled auto-reset event is reset by the wait itself.
    if (event == nullptr || event == INVALID_HANDLE_VALUE) return false;
    return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

}  // namespace wi::platform
