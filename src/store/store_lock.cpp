#include "store/store_lock.h"

namespace wi::store {

std::recursive_mutex& StoreMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

}  // namespace wi::store
