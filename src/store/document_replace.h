// The documents that index the store (the user document, each software's protect and
// configuration documents) are put in place whole or not at all, and on the disk before they
// take the old one's place: after a crash or a power loss a reader finds the old document or the
// new one, never a document cut short.
#pragma once

#include <string>

namespace wi::store {

// Puts the content of the file `source` in place of the document at `destination` in one step:
// the new content is written beside it, flushed and renamed over it. The destination's
// attributes are cleared first, as a copy clears them. Raises CXException on failure; the old
// document is then kept.
void ReplaceStoreDocument(const std::string& source, const std::string& destination);

}  // namespace wi::store
