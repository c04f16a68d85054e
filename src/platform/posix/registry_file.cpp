// The registry of the posix machine: the store file "<machine prefix>/system.reg", read whole,
// changed and written back atomically. Every change reads the store under the machine-wide lock,
// so changes of all processes and threads follow one another and none is lost; a reader needs
// no lock, since it sees the old or the new file whole.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/machine_lock.h"
#include "platform/posix/host_replacement.h"
#include "platform/posix/machine_prefix.h"
#include "platform/posix/registry_store.h"
#include "platform/registry.h"

namespace wi::platform {

namespace {

std::string StorePath() {
    const std::string prefix = posix::PreparedMachinePrefix();
    return prefix.empty() ? std::string() : prefix + "/system.reg";
}

// The store file's text; empty when the file does not exist. False when it cannot be read, is
// no regular file or is larger than the store may be.
bool ReadStore(const std::string& path, std::string& text) {
    text.clear();
    if (path.empty()) return false;
    // Without waiting: a pipe or device put at the path must not hold the caller.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT) return true;
        SetLastError(static_cast<std::uint32_t>(errno));
        return false;
    }
    struct stat status;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        SetLastError(EINVAL);
        return false;
    }
    char buffer[64 * 1024];
    bool ok = true;
    for (;;) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) {
            SetLastError(static_cast<std::uint32_t>(errno));
            ok = false;
            break;
        }
        if (count == 0) break;
        if (text.size() + static_cast<std::size_t>(count) > posix::kMaxRegistryStoreBytes) {
            SetLastError(EFBIG);
            ok = false;
            break;
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
    close(fd);
    if (!ok) text.clear();
    return ok;
}

// The store indexes what the machine keeps: its new text is on disk before it takes the place of
// the old one.
bool WriteStore(const std::string& path, const std::string& text) {
    std::unique_ptr<PendingFile> file = posix::OpenHostReplacement(path, Durability::kFlushed);
    return file && file->Write(text.data(), text.size()) && file->Commit();
}

// Reads the store, lets the change act on it and writes it back when it changed. A change that
// would make the store larger than its reader accepts is refused, so that every value written
// can be read back.
template <typename Change>
bool ChangeStore(Change change) {
    MachineLock lock;
    const std::string path = StorePath();
    std::string text;
    if (!ReadStore(path, text)) return false;
    posix::RegistryStore store(text);
    if (!change(store)) return false;
    const std::string changed = store.Text();
    if (changed == text) return true;
    if (changed.size() > posix::kMaxRegistryStoreBytes) {
        SetLastError(EFBIG);
        return false;
    }
    return WriteStore(path, changed);
}

}  // namespace

bool SetRegistryValue(const RegistryValue& value) {
    posix::StoredValue stored;
    stored.type = value.type;
    if (!NarrowToUtf8(value.key, stored.key) || !NarrowToUtf8(value.name, stored.name) ||
        !NarrowToUtf8(value.data, stored.data)) {
        SetLastError(EILSEQ);
        return false;
    }
    return ChangeStore([&stored](posix::RegistryStore& store) {
        if (store.Set(stored)) return true;
        SetLastError(EINVAL);
        return false;
    });
}

bool DeleteRegistryValue(const std::string& key, const std::string& name) {
    std::string utf8Key, utf8Name;
    if (!NarrowToUtf8(key, utf8Key) || !NarrowToUtf8(name, utf8Name)) {
        return true;  // a name the store cannot hold is in no store
    }
    return ChangeStore([&](posix::RegistryStore& store) {
        store.Remove(utf8Key, utf8Name);
        return true;
    });
}

bool ListRegistryValues(std::vector<RegistryValue>& values) {
    values.clear();
    std::string text;
    if (!ReadStore(StorePath(), text)) return false;
    for (const posix::StoredValue& stored : posix::RegistryStore(text).Values()) {
        RegistryValue value;
        value.key = Utf8ToNarrowReplacing(stored.key);
        value.name = Utf8ToNarrowReplacing(stored.name);
        value.type = stored.type;
        value.data = Utf8ToNarrowReplacing(stored.data);
        values.push_back(value);
    }
    return true;
}

}  // namespace wi::platform
