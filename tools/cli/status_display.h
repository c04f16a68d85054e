// Where the library's status lines go in the CLI: standard error, in the user's language where a
// translation exists. On a terminal a transfer's progress lines are one progress bar redrawn in
// place (fitted to the terminal's width, drawn again when the width changes); elsewhere each
// transfer is one line once it has ended. What the library writes to standard output (the
// upload's diagnostic lines) shows among them as lines of its own. Under --quiet nothing shows.
#pragma once

#include <string>

namespace cli {

// Installs the sink that shows the status lines; with `quiet` it shows nothing.
void ShowStatus(bool quiet);
// The names the transfers of this run show instead of the library's own: `request` for a
// request to the service (the library's "RequestTemp"), `file` for any other transfer (a file
// the library gives a temporary name). An empty name keeps the library's.
void NameTransfers(const std::string& request, const std::string& file);
// Shows what the library wrote to standard output since the last look, and ends a progress bar
// left open (a transfer that raised an error before its end line), so that what follows starts
// on a line of its own.
void CloseStatus();

}  // namespace cli
