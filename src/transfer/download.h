// The download behind IWebInteractive::DownloadFile, with a bound on the body for the library's
// own downloads of documents that a reader takes in.
#pragma once

#include <cstdint>

namespace wi::transfer {

// DownloadFile with a bound: a body of more than maxBytes bytes ends the transfer as soon as
// they have arrived (or at once when the answer announces more), gives 0 and leaves no file
// behind, as any failed download does. 0 sets no bound.
int DownloadBounded(const char* url, const char* localPath, const char* displayName,
                    void* cancelEvent, std::uint64_t maxBytes);

}  // namespace wi::transfer
