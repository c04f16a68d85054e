// The library's own request: one GET whose body comes back as text.
#pragma once

#include <cstddef>
#include <string>

#include "platform/xml_dom.h"

namespace wi::lists {

// Fetches the address (query already built and encoded) into a fresh "RequestTemp" document
// with DownloadFile and appends the body's bytes, unconverted, to `text`. 1 when the body was
// fetched and read; 0 when the download failed or the file could not be read (the text keeps
// what was appended before). The file stays on disk. Errors raised by DownloadFile pass through.
// An answer is a small document or an address: a body beyond kMaxRequestText bytes, which no
// reader of answers would take, ends the download as soon as it has arrived and gives 0 with no
// file left, so that a peer can fill neither the disk nor the memory.
int RequestText(const std::string& url, std::string& text, void* cancelEvent);

// The most bytes of a body RequestText reads: the largest text the XML readers accept.
constexpr std::size_t kMaxRequestText = xml::kMaxTextBytes;

}  // namespace wi::lists
