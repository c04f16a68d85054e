// IWebInteractive::Init: readies the modules for the host's calls. It is the one place that
// knows both the frame (drives, configuration) and the store (the protected-software table), so
// that neither depends on the other.
#include <mutex>

#include "frame/config.h"
#include "frame/drives.h"
#include "store/protected_table.h"
#include "webinteractive/frame.h"

namespace IWebInteractive {

int Init(const char* configText) {
    // Hosts call Init once, first; two at once still run one after the other, so the tables and
    // values always come from one whole call.
    static std::mutex initMutex;
    std::lock_guard<std::mutex> lock(initMutex);

    wi::frame::RebuildFixedDrives();
    // A file error of the table's loading raises CXException out of Init.
    wi::store::LoadProtectedTable();
    return wi::frame::LoadConfiguration(configText);
}

}  // namespace IWebInteractive
