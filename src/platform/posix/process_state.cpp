#include <cerrno>

#include <signal.h>
#include <unistd.h>

#include "platform/sibling_name.h"

namespace wi::platform {

unsigned long CurrentProcessId() { return static_cast<unsigned long>(getpid()); }

bool ProcessRuns(unsigned long processId) {
    const pid_t pid = static_cast<pid_t>(processId);
    if (pid <= 0 || static_cast<unsigned long>(pid) != processId) return false;
    return kill(pid, 0) == 0 || errno != ESRCH;
}

}  // namespace wi::platform
