// The protected-software table: (software GUID, protect-document path) pairs in the order they
// were added, loaded from the store's user document. GUIDs may repeat; every lookup takes the
// first pair with an equal GUID.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace wi::store {

using ProtectedPair = std::pair<std::string, std::string>;  // (GUID, protect document)

// Empties the table and fills it from the user document (through its scratch copy
// "C:\qeluser.xml"): one pair for every "software" of the root "user" (names in any letter case)
// whose first "guid" and "protect_xml" both hold text. 1, or 0 when the user document does not
// parse. A failed copy to, or deletion of, the scratch copy raises CXException.
int LoadProtectedTable();

// Reads the table again from the user document that is already stored, without asking the
// service for its path: what a change of the store does under the machine-wide lock before it
// rewrites the document, since another process may have changed it since. Keeps the table when
// no user document is stored; otherwise as LoadProtectedTable.
int RefreshProtectedTable();

// Gives the first pair of the GUID this path, or appends the pair when the GUID has none.
void RememberProtection(const std::string& guid, const std::string& protectXmlPath);

// The path of the first pair whose GUID equals this one byte for byte; false when none.
bool FindProtectXml(const std::string& guid, std::string& protectXmlPath);

// The pairs in table order.
std::vector<ProtectedPair> ProtectedPairs();

}  // namespace wi::store
