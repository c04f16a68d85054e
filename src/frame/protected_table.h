// The protected-software table: the (software GUID, protect-document path) pairs of the store.
#pragma once

namespace wi::frame {

// Loads the table from the store's user document; Init calls it after building the drive list.
// The store module defines it (src/store/protected_table.cpp), as the owner of the table and
// its document; a file error of the loading raises CXException out of Init.
void LoadProtectedSoftwareTable();

}  // namespace wi::frame
