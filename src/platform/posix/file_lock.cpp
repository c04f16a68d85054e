// Open file description locks: unlike classic record locks they belong to the open file, not
// to the process, so two holders in one process exclude each other too, and closing another
// descriptor of the same file elsewhere in the process never drops the lock.
#include "platform/file_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace wi::platform {

FileLock::FileLock(const std::string& path) {
    int descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (descriptor < 0) return;
    struct flock range = {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;  // start 0, length 0: the whole file
    int result;
    do {
        result = fcntl(descriptor, F_OFD_SETLKW, &range);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        close(descriptor);
        return;
    }
    handle_ = descriptor;
}

FileLock::~FileLock() {
    if (Held()) close(static_cast<int>(handle_));  // closing the description releases the lock
}

}  // namespace wi::platform
