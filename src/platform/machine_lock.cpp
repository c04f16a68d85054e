#include "platform/machine_lock.h"

#include <memory>
#include <mutex>

#include "platform/file_lock.h"

namespace wi::platform {

namespace {

// The threads of this process take turns on the recursive mutex; the outermost holder also
// holds the lock file, which the other processes wait on.
std::recursive_mutex& ProcessMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

int depth = 0;                              // guarded by ProcessMutex()
std::unique_ptr<FileLock>* FileLockSlot() {  // guarded by ProcessMutex()
    static std::unique_ptr<FileLock> lock;
    return &lock;
}

}  // namespace

MachineLock::MachineLock() {
    ProcessMutex().lock();
    if (depth++ == 0) {
        const std::string path = MachineLockPath();
        if (!path.empty()) *FileLockSlot() = std::make_unique<FileLock>(path);
    }
}

MachineLock::~MachineLock() {
    if (--depth == 0) FileLockSlot()->reset();
    ProcessMutex().unlock();
}

}  // namespace wi::platform
