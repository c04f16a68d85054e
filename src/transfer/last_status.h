// The HTTP status of this thread's last upload and download, which IHostInc tells the host.
#pragma once

namespace wi::transfer {

// This thread's values: 0 before a call, then the status of the last answer it received.
int& LastUploadStatus();
int& LastDownloadStatus();

}  // namespace wi::transfer
