// The library's own request: one GET whose body comes back as text.
#pragma once

#include <string>

namespace wi::service {

// Fetches the address (query already built and encoded) into a fresh "RequestTemp" document
// with DownloadFile and appends the body's bytes, unconverted, to `text`. 1 when the body was
// fetched and read; 0 when the download failed or the file could not be read (the text keeps
// what was appended before). The file stays on disk. Errors raised by DownloadFile pass through.
int RequestText(const std::string& url, std::string& text, void* cancelEvent);

}  // namespace wi::service
