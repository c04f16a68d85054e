#include "lists/file_downloads_paths.h"

#include <cstdint>
#include <cstring>

#include "platform/machine.h"

namespace wi::lists {

bool DownloadFolder(std::string& folder) {
    return platform::CurrentMachine().GetSpecialFolder(platform::kCommonTemplates, folder);
}

std::string TickedDownloadPath(const std::string& folder, const std::string& stem) {
    const auto ticks =
        static_cast<std::uint32_t>(platform::CurrentMachine().MillisecondsSinceStart());
    return folder + "\\" + stem + std::to_string(static_cast<std::int32_t>(ticks)) + ".tmp";
}

void CopyToCallerBuffer(char* buffer, const std::string& path) {
    if (buffer != nullptr) {
        std::memcpy(buffer, path.c_str(), path.size() + 1);
    }
}

void ClearCallerBuffer(char* buffer) {
    if (buffer != nullptr) {
        buffer[0] = '\0';
    }
}

}  // namespace wi::lists
