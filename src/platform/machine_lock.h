// The machine-wide lock: whatever lives on the machine and is shared by every process there (the
// store and its user document, the registry store of the posix machine) is read, changed and
// written while it is held, and read again under it before a change, so that a process changes
// only its own entries and never writes back another's stale copy.
//
//   {
//       wi::platform::MachineLock lock;   // waits for other processes and threads
//       ... read, change, write ...
//   }                                     // released
//
// Recursive within a thread: an operation holding it may call another that takes it again.
// Other threads of the process wait, as other processes do.
#pragma once

#include <string>

namespace wi::platform {

class MachineLock {
public:
    MachineLock();
    ~MachineLock();
    MachineLock(const MachineLock&) = delete;
    MachineLock& operator=(const MachineLock&) = delete;
};

// The lock file of the machine (posix: "machine.lock" in the machine prefix; Windows: a file in
// the common application data folder); "" when there is none, and the lock is then this
// process's alone.
std::string MachineLockPath();

}  // namespace wi::platform
