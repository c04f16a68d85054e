// Where the library's status lines go in the CLI: plain lines, or on a terminal the transfer
// progress lines drawn as one progress bar redrawn in place; nothing at all under --quiet.
#pragma once

namespace cli {

// Installs the sink that shows the status lines on standard output, or on standard error when
// `toStandardError`; with `quiet` it shows nothing.
void ShowStatus(bool quiet, bool toStandardError);
// From now on the status lines go to standard error, in the same mode: for a command whose
// result on standard output is a whole document.
void MoveStatusToStandardError();
// Ends a progress bar left open (a transfer that raised an error before its end line), so that
// what follows starts on a line of its own.
void CloseStatus();

}  // namespace cli
