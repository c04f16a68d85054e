#include "platform/win32/windows_api.h"

#include "platform/temporary_siblings.h"

namespace wi::platform {

unsigned long CurrentProcessId() { return ::GetCurrentProcessId(); }

bool ProcessIsRunning(unsigned long processId) {
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                   static_cast<DWORD>(processId));
    if (process == nullptr) return ::GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    ::CloseHandle(process);
    return running;
}

}  // namespace wi::platform
