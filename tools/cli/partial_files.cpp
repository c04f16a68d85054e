#include "partial_files.h"

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/files.h"
#include "platform/machine.h"
#include "platform/narrow_path.h"
#include "platform/sibling_name.h"
#include "webinteractive/host.h"

namespace cli {

namespace {

struct Watched {
    std::string folder;  // ends in "\"
    bool tree;
};

std::mutex mutex;
std::vector<Watched> watched;

// Folders below this depth are not entered: the store's layout is a few levels deep.
constexpr int kDeepest = 16;

std::string WithSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

// Removes, in the folder (and below it for a tree), the temporary files that `remove` picks.
template <typename Pick>
void Sweep(const std::string& folder, bool tree, int depth, Pick remove) {
    std::vector<std::string> names;
    if (!wi::platform::ListDirectory(folder, names)) return;
    for (const std::string& name : names) {
        const std::string path = folder + name;
        unsigned long process = 0;
        if (wi::platform::IsSiblingName(name, process)) {
            if (remove(process)) wi::platform::DeleteFile(path);
            continue;
        }
        std::uint32_t attributes = 0;
        if (tree && depth < kDeepest && wi::platform::GetFileAttributes(path, attributes) &&
            (attributes & wi::platform::kAttrDirectory) != 0 &&
            (attributes & wi::platform::kAttrReparsePoint) == 0) {
            Sweep(path + "\\", tree, depth + 1, remove);
        }
    }
}

void Watch(const std::string& windowsFolder, bool tree) {
    const std::string folder = WithSeparator(windowsFolder);
    if (folder.empty()) return;
    // This program's own file layer works on the machine the library was given.
    wi::platform::SetMachinePrefix(IHostInc::GetMachinePrefix());
    {
        const std::lock_guard<std::mutex> lock(mutex);
        watched.push_back({folder, tree});
    }
    if (tree) return;
    Sweep(folder, false, 0, [](unsigned long process) {
        return process != wi::platform::CurrentProcessId() && !wi::platform::ProcessRuns(process);
    });
}

}  // namespace

void WatchFolder(const std::string& windowsFolder) { Watch(windowsFolder, false); }

void WatchSpecialFolder(int id) { Watch(IHostInc::GetSpecialFolderPath(id), false); }

void WatchTree(const std::string& windowsFolder) { Watch(windowsFolder, true); }

std::string FolderOf(const std::string& windowsPath) {
    const std::string::size_type separator = wi::platform::FindLastNarrowChar(windowsPath, "\\/");
    return separator == std::string::npos ? std::string() : windowsPath.substr(0, separator + 1);
}

void RemoveOwnPartialFiles() {
    const std::lock_guard<std::mutex> lock(mutex);
    const unsigned long own = wi::platform::CurrentProcessId();
    for (const Watched& folder : watched) {
        Sweep(folder.folder, folder.tree, 0,
              [own](unsigned long process) { return process == own; });
    }
}

}  // namespace cli
