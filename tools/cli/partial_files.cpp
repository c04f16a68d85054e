#include "partial_files.h"

#include <mutex>
#include <vector>

#include "webinteractive/host.h"

namespace cli {

namespace {

struct Watched {
    std::string folder;
    bool tree;
};

std::mutex mutex;
std::vector<Watched> watched;

void Watch(const std::string& windowsFolder, bool tree) {
    if (windowsFolder.empty()) return;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        watched.push_back({windowsFolder, tree});
    }
    if (tree) return;
    IHostInc::RemovePartialFiles(windowsFolder.c_str(), false, false);
}

}  // namespace

void WatchFolder(const std::string& windowsFolder) { Watch(windowsFolder, false); }

void WatchSpecialFolder(int id) { Watch(IHostInc::GetSpecialFolderPath(id), false); }

void WatchTree(const std::string& windowsFolder) { Watch(windowsFolder, true); }

std::string FolderOf(const std::string& windowsPath) {
    // Walked by character: in a double-byte code page a trail byte may be that of "\".
    std::string::size_type end = 0;
    for (std::string::size_type at = 0; at < windowsPath.size();) {
        const char c = windowsPath[at];
        at += IHostInc::NarrowCharLength(windowsPath.data() + at, windowsPath.size() - at);
        if (c == '\\' || c == '/') end = at;
    }
    return windowsPath.substr(0, end);
}

void RemoveOwnPartialFiles() {
    const std::lock_guard<std::mutex> lock(mutex);
    for (const Watched& folder : watched) {
        IHostInc::RemovePartialFiles(folder.folder.c_str(), folder.tree, true);
    }
}

}  // namespace cli
