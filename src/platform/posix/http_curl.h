// What the libcurl transfers share: one-time initialisation, the trust settings and the cache of
// open connections.
#pragma once

#include <curl/curl.h>

namespace wi::platform::posix {

// Initialises libcurl once per process; false when that failed.
bool InitCurl();
// Sets the options every transfer uses: peer verification on, the trusted authorities, no
// signals (transfers run on worker threads).
void ApplyCommonOptions(CURL* easy);
// Lets the transfer take an idle connection that an earlier transfer left open to the same
// server (and leave its own for the next), and share the name lookups. The cache is one per
// process and locked per use, so transfers on any thread may use it at once. False when it
// could not be made; the transfer then connects on its own.
bool UseSharedConnections(CURL* easy);

// The libcurl handles of one download: the transfer and the multi handle that drives it.
struct DownloadHandles {
    CURL* easy = nullptr;
    CURLM* multi = nullptr;
};
// The handles a thread kept from its last download, with every option back at its default, or
// new ones: a transfer and the sockets of the multi handle's wake-up are made once per thread,
// not once per download. False, with nothing held, when no handles could be made.
bool TakeDownloadHandles(DownloadHandles& handles);
// The handles of a download that has ended (the transfer no longer in the multi handle) go to
// the calling thread for its next download; freed when it already keeps some, and when the
// thread ends.
void KeepDownloadHandles(DownloadHandles& handles);

}  // namespace wi::platform::posix
