#include "transfer/last_status.h"

#include "webinteractive/host.h"

namespace wi::transfer {

LastTransfer& LastUpload() {
    thread_local LastTransfer last;
    return last;
}

LastTransfer& LastDownload() {
    thread_local LastTransfer last;
    return last;
}

}  // namespace wi::transfer

namespace IHostInc {

int GetLastUploadStatus() { return wi::transfer::LastUpload().status; }

int GetLastDownloadStatus() { return wi::transfer::LastDownload().status; }

}  // namespace IHostInc
