// The HTTP status of this thread's last upload and download, which IHostInc tells the host.
#pragma once

#include <cstdint>

namespace wi::transfer {

struct LastTransfer {
    int status = 0;           // of the last answer of the last call; 0 when it received none
    std::uint64_t calls = 0;  // calls so far, so that a caller can tell whether one was made

    // At the start of a call.
    void Begin() {
        ++calls;
        status = 0;
    }
};

// This thread's records.
LastTransfer& LastUpload();
LastTransfer& LastDownload();

}  // namespace wi::transfer
