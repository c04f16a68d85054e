// The host extras that reach the machine's files: reading one back, and removing the temporary
// files that a process ended abruptly left beside the files it was writing.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/narrow_path.h"
#include "platform/sibling_name.h"
#include "webinteractive/host.h"

namespace {

// The largest file read back: as large as the largest document the library downloads (a file
// list).
constexpr std::size_t kMaxMachineFileBytes = std::size_t{128} << 20;

// Folders below this depth are not entered: the store's layout is a few levels deep.
constexpr int kDeepest = 16;

// Removes, in the folder (and below it for a tree), the temporary files that `remove` picks;
// returns how many went.
template <typename Pick>
int Sweep(const std::string& folder, bool tree, int depth, Pick remove) {
    std::vector<std::string> names;
    if (!wi::platform::ListDirectory(folder, names)) return 0;
    int removed = 0;
    for (const std::string& name : names) {
        const std::string path = folder + name;
        unsigned long process = 0;
        if (wi::platform::IsSiblingName(name, process)) {
            if (remove(process) && wi::platform::DeleteFile(path)) ++removed;
            continue;
        }
        std::uint32_t attributes = 0;
        if (tree && depth < kDeepest && wi::platform::GetFileAttributes(path, attributes) &&
            (attributes & wi::platform::kAttrDirectory) != 0 &&
            (attributes & wi::platform::kAttrReparsePoint) == 0) {
            removed += Sweep(path + "\\", tree, depth + 1, remove);
        }
    }
    return removed;
}

}  // namespace

namespace IHostInc {

const char* ReadMachineFile(const char* path, std::size_t* size) {
    thread_local std::string bytes;
    if (path == nullptr) return nullptr;
    const std::unique_ptr<wi::platform::File> file = wi::platform::OpenForRead(path);
    if (!file) return nullptr;
    std::string read;
    char buffer[65536];
    for (;;) {
        const long long got = file->Read(buffer, sizeof buffer);
        if (got < 0) return nullptr;
        if (got == 0) break;
        read.append(buffer, static_cast<std::size_t>(got));
        // Bounded as the bytes arrive, however large the file is or grows meanwhile.
        if (read.size() > kMaxMachineFileBytes) return nullptr;
    }
    // Refilled in place: the kept buffer keeps its storage where the new bytes fit.
    bytes.assign(read);
    if (size != nullptr) *size = bytes.size();
    return bytes.c_str();
}

int RemovePartialFiles(const char* folder, bool tree, bool ownProcess) {
    std::string start = folder != nullptr ? folder : "";
    if (start.empty()) return 0;
    if (!wi::platform::EndsWithBackslash(start)) start += '\\';
    const unsigned long own = wi::platform::CurrentProcessId();
    if (ownProcess) {
        return Sweep(start, tree, 0, [own](unsigned long process) { return process == own; });
    }
    return Sweep(start, tree, 0, [own](unsigned long process) {
        return process != own && !wi::platform::ProcessRuns(process);
    });
}

}  // namespace IHostInc
