#include "frame/protected_table.h"

namespace wi::frame {

// The store module, which owns the table and its user document, does not exist yet: there is no
// table to load, so Init's loading step does nothing. The store replaces this function.
void LoadProtectedSoftwareTable() {}

}  // namespace wi::frame
