// One operation on the store at a time: the store's operations share the table, the fixed
// scratch paths on drive C: and the running protection's values, so a host thread that calls
// a query while another protects or cleans waits for it instead of reading a half-made state.
#pragma once

#include <mutex>

namespace wi::store {

// Recursive: a protection cleans and queries through the same exported operations.
std::recursive_mutex& StoreMutex();

using StoreLock = std::lock_guard<std::recursive_mutex>;

}  // namespace wi::store
