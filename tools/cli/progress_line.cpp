#include "progress_line.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/codepage.h"

namespace cli {

namespace {

bool ReadNumber(const std::string& text, std::uint64_t& number) {
    if (text.empty() || text.size() > 19) return false;
    number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return true;
}

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> fields(1);
    for (const char c : text) {
        if (c == '|') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// The columns the longest tail takes: "100%  1023.9 KiB/s  1023.9 MiB of 1023.9 MiB  59:59 left".
constexpr int kTailRoom = 60;

// Columns a narrow text takes on a terminal: ASCII one each, other characters (Chinese in this
// library's names) two.
int DisplayWidth(const std::string& text) {
    int width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = wi::platform::NarrowCharLength(text, i);
        width += length == 1 ? 1 : 2;
        i += length;
    }
    return width;
}

// The bar itself and what follows it, sized to the terminal.
std::string Compose(const std::string& name, double fraction, const std::string& tail,
                    int columns) {
    if (columns <= 0) columns = 80;
    if (fraction < 0) fraction = 0;
    if (fraction > 1) fraction = 1;
    // Room left for the bar: the name, " [", "] " and the tail take the rest (the tail is given
    // room for its longest form, so that the bar keeps its width from one drawing to the next);
    // one column stays free so that the cursor never wraps.
    // A name from outside (a locator's answer) may hold control characters: each is drawn as
    // "?", so that the bar stays on its one line.
    std::string line = name;
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f') c = '?';
    }
    const int tailRoom = std::max(kTailRoom, static_cast<int>(tail.size()));
    int width = columns - 1 - DisplayWidth(line) - 4 - tailRoom;
    if (width > 40) width = 40;
    if (width >= 5) {
        const int filled = static_cast<int>(fraction * width);
        line += " [" + std::string(filled, '#') + std::string(width - filled, '.') + "]";
    }
    return line + "  " + tail;
}

}  // namespace

bool ParseProgressLine(const std::string& line, TransferProgress& progress) {
    if (line.size() < 2 || line[0] != ' ') return false;
    std::vector<std::string> fields = Split(line.substr(1));
    if (fields.size() < 4) return false;
    TransferProgress read;
    const std::size_t n = fields.size();
    if (!ReadNumber(fields[n - 3], read.speed) || !ReadNumber(fields[n - 2], read.received) ||
        !ReadNumber(fields[n - 1], read.total)) {
        return false;
    }
    // A name holding "|" keeps it.
    for (std::size_t i = 0; i + 3 < n; ++i) read.name += (i == 0 ? "" : "|") + fields[i];
    progress = read;
    return true;
}

bool ParseTransferEnd(const std::string& line, std::string& name, bool& stored) {
    const std::string::size_type bar = line.rfind('|');
    if (bar == std::string::npos || bar == 0 || bar + 2 != line.size()) return false;
    if (line[bar + 1] != '0' && line[bar + 1] != '1') return false;
    if (line[0] == ' ') return false;  // a progress line with a cut-off tail, not an end
    name = line.substr(0, bar);
    stored = line[bar + 1] == '1';
    return true;
}

std::string FormatBytes(std::uint64_t bytes) {
    static const char* const kUnits[] = {"KiB", "MiB", "GiB", "TiB"};
    if (bytes < 1024) return std::to_string(bytes) + " B";
    double value = static_cast<double>(bytes) / 1024;
    int unit = 0;
    while (value >= 1024 && unit < 3) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
    return text;
}

std::string FormatDuration(std::uint64_t seconds) {
    char text[32];
    if (seconds >= 3600) {
        std::snprintf(text, sizeof text, "%llu:%02llu:%02llu",
                      static_cast<unsigned long long>(seconds / 3600),
                      static_cast<unsigned long long>(seconds / 60 % 60),
                      static_cast<unsigned long long>(seconds % 60));
    } else {
        std::snprintf(text, sizeof text, "%llu:%02llu", static_cast<unsigned long long>(seconds / 60),
                      static_cast<unsigned long long>(seconds % 60));
    }
    return text;
}

std::string ProgressBar(const TransferProgress& progress, int columns) {
    const std::uint64_t received =
        progress.received < progress.total ? progress.received : progress.total;
    const double fraction =
        progress.total > 0 ? static_cast<double>(received) / static_cast<double>(progress.total) : 0;
    char percent[8];
    std::snprintf(percent, sizeof percent, "%3d%%", static_cast<int>(fraction * 100));
    std::string tail = std::string(percent) + "  " + FormatBytes(progress.speed) + "/s  " +
                       FormatBytes(received) + " of " + FormatBytes(progress.total) + "  ";
    if (progress.speed > 0) {
        tail += FormatDuration((progress.total - received + progress.speed - 1) / progress.speed) +
                " left";
    } else {
        tail += "--:-- left";
    }
    return Compose(progress.name, fraction, tail, columns);
}

std::string FinishedBar(const TransferProgress& progress, bool stored, int columns) {
    // A transfer that ended within its first second sent no progress: its size is not known.
    const bool sized = progress.total > 0 || progress.received > 0;
    if (stored) {
        const std::uint64_t size = progress.total > 0 ? progress.total : progress.received;
        return Compose(progress.name, 1, sized ? "100%  " + FormatBytes(size) + "  done" : "done",
                       columns);
    }
    if (!sized) return Compose(progress.name, 0, "failed", columns);
    const double fraction = progress.total > 0 ? static_cast<double>(progress.received) /
                                                     static_cast<double>(progress.total)
                                               : 0;
    return Compose(progress.name, fraction,
                   "failed after " + FormatBytes(progress.received), columns);
}

}  // namespace cli
