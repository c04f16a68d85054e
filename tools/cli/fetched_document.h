// A document fetched from the service as text: the library's own download writes it to a
// temporary document of the machine, which is read back and deleted.
#pragma once

#include <string>

namespace cli {

// Downloads the address with IWebInteractive::DownloadFile into a temporary document named after
// `baseName`, returns its bytes in `text` and deletes it. False, with a one-line reason in
// `error`, when the download did not deliver the whole document or it cannot be read. Errors of
// the download component pass to the caller.
bool FetchDocument(const std::string& url, const char* baseName, void* cancelEvent,
                   std::string& text, std::string& error);

}  // namespace cli
