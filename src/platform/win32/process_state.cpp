#include "platform/win32/windows_api.h"

#include "platform/sibling_name.h"

namespace wi::platform {

unsigned long CurrentProcessId() { return ::GetCurrentProcessId(); }

bool ProcessRuns(unsigned long processId) {
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(processId));
    if (!process) return ::GetLastError() != ERROR_INVALID_PARAMETER;
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}

}  // namespace wi::platform
