#include "transfer/last_status.h"

#include "webinteractive/host.h"

namespace wi::transfer {

int& LastUploadStatus() {
    thread_local int status = 0;
    return status;
}

int& LastDownloadStatus() {
    thread_local int status = 0;
    return status;
}

}  // namespace wi::transfer

namespace IHostInc {

int GetLastUploadStatus() { return wi::transfer::LastUploadStatus(); }

int GetLastDownloadStatus() { return wi::transfer::LastDownloadStatus(); }

}  // namespace IHostInc
