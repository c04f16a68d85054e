// One operation on the store at a time, machine-wide: the store's operations share the user
// document, the table read from it, the fixed scratch paths on drive C: and the running
// protection's values, with every other thread and every other process on the machine. A
// query waits for a protection or a cleaning under way instead of reading a half-made state,
// and a change re-reads the user document under the lock, so it changes only its own entries.
#pragma once

#include "platform/machine_lock.h"

namespace wi::store {

// Recursive: a protection cleans and queries through the same exported operations.
using StoreLock = wi::platform::MachineLock;

}  // namespace wi::store
