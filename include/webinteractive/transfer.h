/// @file
/// HTTP transfers: downloads, uploads and the size probe.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "webinteractive/export.h"

/// Raised by DownloadFile when the download component refuses to start a transfer or to answer a
/// query; a transfer that ends without the file is a 0 result, never this error.
class WI_EXPORT CDownloadError : public std::runtime_error {
public:
    /// The component's failure code and a message naming the address.
    CDownloadError(int code, const std::string& message)
        : std::runtime_error(message), code_(code) {}
    /// The component's failure code.
    int code() const noexcept { return code_; }

private:
    int code_;
};

namespace IWebInteractive {
/// Fetches the address into the local path, reporting progress; 1 when the file arrived.
/// cancelEvent (or null) cancels the download while it is signalled.
WI_EXPORT int DownloadFile(const char* url, const char* localPath, const char* displayName,
                           void* cancelEvent);
/// Posts the file's bytes to the address; 1 when the exchange reached a final response.
/// reply (1024 bytes, or null) receives the final response body, at most 1023 bytes and a zero.
WI_EXPORT int UploadFile(const char* url, const char* filePath, char* reply,
                         const char* displayName, void* unused);
/// The size of the named file as the service's locator and a HEAD on its address report it; -1
/// when it cannot be found.
WI_EXPORT std::int64_t GetDownloadSize(const char* url, const char* fileName);
}  // namespace IWebInteractive
