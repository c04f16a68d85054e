// Where the store lives on each fixed drive, and the names that may go into its paths.
#pragma once

#include <cstdint>
#include <string>

namespace wi::store {

// "X:\qel_protect": the store directory, hidden after every protection.
std::string StoreDirectory(const std::string& drive);
// "X:\qel_protect\software": the store root without its trailing backslash.
std::string StoreRootDirectory(const std::string& drive);

// True when the text can name one directory below a store root: not empty, not "." or "..",
// and without "\", "/", ":", a double quote or a control character. A software's GUID and
// Version become directory names of the store and part of the command line that removes them,
// so anything else could reach outside the store or into the command's arguments.
bool IsStoreName(const std::string& text);

// The first store root, visiting the fixed drives from the last to the first, whose drive has
// more than the item's size plus 51,200 KB free for the caller: "X:\qel_protect\software\"
// with its directory made; "" when no drive qualifies. Kept per thread until its next call.
const std::string& ChooseStoreRoot(std::uint64_t sizeKb);

}  // namespace wi::store
