// The download's progress status lines, read back and drawn as a progress bar: " name|speed|got|
// total" once a second while the size is known, and "name|1" or "name|0" when the transfer ends.
#pragma once

#include <cstdint>
#include <string>

namespace cli {

struct TransferProgress {
    std::string name;
    std::uint64_t speed = 0;     // bytes per second
    std::uint64_t received = 0;  // bytes
    std::uint64_t total = 0;     // bytes
};

// True for a progress line: a leading space, then the name and three decimal numbers.
bool ParseProgressLine(const std::string& line, TransferProgress& progress);
// True for an end line: the name, "|" and 1 (stored) or 0 (not stored).
bool ParseTransferEnd(const std::string& line, std::string& name, bool& stored);

// "512 B", "12.3 KiB", "4.5 MiB", "1.2 GiB".
std::string FormatBytes(std::uint64_t bytes);
// "0:07", "12:34", "1:02:03".
std::string FormatDuration(std::uint64_t seconds);

// Columns a narrow text takes on a terminal: ASCII one each, other characters (Chinese in this
// library's names) two.
int DisplayWidth(const std::string& text);

// One line for a terminal of the given width (0: unknown, taken as 80), never wider than the
// width less one column: "name [#######.......]  45%  1.2 MiB/s  12.3 MiB of 27.0 MiB  0:12
// left"; on a narrower terminal the sizes, the speed, the bar and the time left give way in that
// order, then the name is shortened, and the share done stays.
std::string ProgressBar(const TransferProgress& progress, int columns);
// The bar's last drawing: full and "done" when stored, else "failed" with what arrived.
std::string FinishedBar(const TransferProgress& progress, bool stored, int columns);
// The transfer told in one line once it has ended, for a stream that is no terminal:
// "name: done, 27.0 MiB", "name: failed after 12.3 MiB of 27.0 MiB", "name: failed".
std::string FinishedLine(const TransferProgress& progress, bool stored);

}  // namespace cli
