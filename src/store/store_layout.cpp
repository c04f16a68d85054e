#include "store/store_layout.h"

#include "frame/drives.h"
#include "platform/narrow_path.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/frame.h"

namespace wi::store {

namespace {

// Room kept free on a drive beyond the item itself: 50 MB.
constexpr std::uint64_t kHeadroomKb = 51200;

}  // namespace

std::string StoreDirectory(const std::string& drive) { return drive + "\\qel_protect"; }

std::string StoreRootDirectory(const std::string& drive) {
    return drive + "\\qel_protect\\software";
}

bool IsStoreName(const std::string& text) {
    if (text.empty() || text == "." || text == "..") return false;
    for (char c : text) {
        const unsigned char code = static_cast<unsigned char>(c);
        if (code < 0x20 || code == 0x7f) return false;
    }
    // By character: in a double-byte code page 0x5C is also a trail byte.
    return wi::platform::FindNarrowChar(text, "\\/:\"") == std::string::npos;
}

const std::string& ChooseStoreRoot(std::uint64_t sizeKb) {
    thread_local std::string root;
    root.clear();
    const std::vector<std::string> drives = wi::frame::FixedDrives();
    const std::uint64_t need = sizeKb + kHeadroomKb;
    for (auto drive = drives.rbegin(); drive != drives.rend(); ++drive) {
        const std::uint64_t freeKb = CXFileOperator::GetDiskSpace(*drive, 0) / 1024;
        if (freeKb > need) {
            root = StoreRootDirectory(*drive);
            IWebInteractive::MakesureDirExist(root);
            root += '\\';
            break;
        }
    }
    return root;
}

}  // namespace wi::store
