// What the libcurl transfers share: one-time initialisation and the trust settings.
#pragma once

#include <curl/curl.h>

namespace wi::platform::posix {

// Initialises libcurl once per process; false when that failed.
bool InitCurl();
// Sets the options every transfer uses: peer verification on, the trusted authorities, no
// signals (transfers run on worker threads).
void ApplyCommonOptions(CURL* easy);

}  // namespace wi::platform::posix
