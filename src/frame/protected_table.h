// The protected-software table: the (software GUID, protect-document path) pairs of the store.
#pragma once

namespace wi::frame {

// Loads the table from the store's user document; Init calls it after building the drive list.
void LoadProtectedSoftwareTable();

}  // namespace wi::frame
