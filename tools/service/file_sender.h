// Sends a file of the data directory as a response body, optionally paced to a rate.
#pragma once

#include <httplib.h>

#include <atomic>
#include <filesystem>

namespace wi::service {

struct Pacing {
    unsigned long long bytesPerSecond = 0;  // 0: as fast as the connection takes it
    // Set when the server stops: a paced body breaks off instead of holding the stop up.
    const std::atomic<bool>* stopping = nullptr;
};

// Answers with the file and its length; the server cuts byte ranges from it and leaves the body
// out for HEAD. A file that cannot be opened gets 404.
void SendFile(httplib::Response& res, const std::filesystem::path& file, const Pacing& pacing = {},
              const char* type = "application/octet-stream");

}  // namespace wi::service
