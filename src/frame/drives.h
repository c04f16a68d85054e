// The fixed-drive list: the roots ("C:", "D:", ...) of the machine's fixed drives, A to Z.
#pragma once

#include <string>
#include <vector>

namespace wi::frame {

// Asks the machine, letter by letter, and returns the roots of its fixed drives.
std::vector<std::string> QueryFixedDrives();
// Rebuilds the process's list from the machine (Init does this).
void RebuildFixedDrives();
// A copy of the list as Init last built it; empty before Init. The store's new roots go on its
// last entry.
std::vector<std::string> FixedDrives();

}  // namespace wi::frame
