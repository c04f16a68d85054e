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

}  // namespace wi::platform::posix
