#include "progress_line.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "narrow_text.h"

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

// The widest form each kind of tail takes, so that the bar keeps its width from one drawing to
// the next: "100%  1023.9 KiB/s  1023.9 MiB of 1023.9 MiB  59:59 left", then without the
// sizes, without the speed too, and the share alone.
constexpr int kTailRooms[] = {58, 32, 16, 4};
constexpr int kFailedRoom = 6;

// The longest beginning of the text, in whole characters, that takes at most `columns`.
std::string Shortened(const std::string& text, int columns) {
    std::string kept;
    int width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = NarrowCharLength(text, i);
        const int added = length == 1 ? 1 : 2;
        if (width + added > columns) break;
        kept.append(text, i, length);
        width += added;
        i += length;
    }
    return kept;
}

struct Tail {
    std::string text;
    int widest;  // the columns its widest form takes
};

// The richest line that fits the terminal, one column to spare so that the cursor never wraps.
// Tails come richest first. With each: the name and a bar of 10 to 40 columns; else the name
// alone; else the name shortened to 8 columns or more and marked with "~"; else the next tail.
std::string Compose(const std::string& displayName, double fraction,
                    const std::vector<Tail>& tails, int columns) {
    if (columns <= 0) columns = 80;
    fraction = std::min(1.0, std::max(0.0, fraction));
    // A name from outside (a locator's answer) may hold control characters: each is drawn as
    // "?", so that the bar stays on its one line.
    std::string name = displayName;
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f') c = '?';
    }
    const int usable = columns - 1;
    const int nameWidth = DisplayWidth(name);
    for (const Tail& tail : tails) {
        const int room = usable - 2 - std::max(tail.widest, DisplayWidth(tail.text));
        if (room >= nameWidth + 4 + 10) {
            const int width = std::min(40, room - nameWidth - 4);
            const int filled = static_cast<int>(fraction * width);
            return name + " [" + std::string(filled, '#') + std::string(width - filled, '.') +
                   "]  " + tail.text;
        }
        if (room >= nameWidth) return name + "  " + tail.text;
        if (room >= 8) return Shortened(name, room - 1) + "~  " + tail.text;
    }
    // Not even a short name beside the last tail: that tail alone, as much of it as fits.
    return Shortened(tails.back().text, usable);
}

}  // namespace

int DisplayWidth(const std::string& text) {
    int width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = NarrowCharLength(text, i);
        width += length == 1 ? 1 : 2;
        i += length;
    }
    return width;
}

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
    const std::string share = percent;
    const std::string speed = FormatBytes(progress.speed) + "/s";
    const std::string sizes = FormatBytes(received) + " of " + FormatBytes(progress.total);
    const std::string left =
        progress.speed > 0
            ? FormatDuration((progress.total - received + progress.speed - 1) / progress.speed) +
                  " left"
            : "--:-- left";
    return Compose(progress.name, fraction,
                   {{share + "  " + speed + "  " + sizes + "  " + left, kTailRooms[0]},
                    {share + "  " + speed + "  " + left, kTailRooms[1]},
                    {share + "  " + left, kTailRooms[2]},
                    {share, kTailRooms[3]}},
                   columns);
}

std::string FinishedBar(const TransferProgress& progress, bool stored, int columns) {
    // A transfer that ended within its first second sent no progress: its size is not known.
    const bool sized = progress.total > 0 || progress.received > 0;
    if (stored) {
        const std::uint64_t size = progress.total > 0 ? progress.total : progress.received;
        std::vector<Tail> tails;
        if (sized) tails.push_back({"100%  " + FormatBytes(size) + "  done", kTailRooms[2]});
        tails.push_back({"done", kTailRooms[3]});
        return Compose(progress.name, 1, tails, columns);
    }
    if (!sized) return Compose(progress.name, 0, {{"failed", kFailedRoom}}, columns);
    const double fraction = progress.total > 0 ? static_cast<double>(progress.received) /
                                                     static_cast<double>(progress.total)
                                               : 0;
    return Compose(progress.name, fraction,
                   {{"failed after " + FormatBytes(progress.received), kTailRooms[2]},
                    {"failed", kFailedRoom}},
                   columns);
}

std::string FinishedLine(const TransferProgress& progress, bool stored) {
    const bool sized = progress.total > 0 || progress.received > 0;
    if (stored) {
        const std::uint64_t size = progress.total > 0 ? progress.total : progress.received;
        return progress.name + ": done" + (sized ? ", " + FormatBytes(size) : std::string());
    }
    if (!sized) return progress.name + ": failed";
    return progress.name + ": failed after " + FormatBytes(progress.received) +
           (progress.total > 0 ? " of " + FormatBytes(progress.total) : std::string());
}

}  // namespace cli
