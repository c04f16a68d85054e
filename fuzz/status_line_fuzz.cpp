// Fuzz target for the CLI's reading of status lines and its JSON texts: a status line carries a
// display name that may come from the service (a file name in a locator's answer), so any line is
// either drawn as a bar that fits its terminal or left alone, its form is matched against the
// library's texts within bounds, and any text makes a valid JSON string.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "json_output.h"
#include "progress_line.h"
#include "status_translation.h"

namespace {

// A JSON string literal of UTF-8: quoted, no raw control character, every byte of a valid
// UTF-8 sequence.
bool IsJsonString(const std::string& literal) {
    if (literal.size() < 2 || literal.front() != '"' || literal.back() != '"') return false;
    for (std::size_t i = 1; i + 1 < literal.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(literal[i]);
        if (byte < 0x20) return false;
        if (byte == '"' && literal[i - 1] != '\\') return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    cli::TransferProgress progress;
    if (cli::ParseProgressLine(line, progress)) {
        for (const int columns : {80, 30, 9}) {
            const std::string bar = cli::ProgressBar(progress, columns);
            if (bar.find('\n') != std::string::npos || cli::DisplayWidth(bar) >= columns) {
                std::abort();
            }
            const bool stored = progress.received == progress.total;
            if (cli::DisplayWidth(cli::FinishedBar(progress, stored, columns)) >= columns) {
                std::abort();
            }
        }
    }
    std::string name;
    bool stored = false;
    if (cli::ParseTransferEnd(line, name, stored) && name.size() + 2 != line.size()) std::abort();

    // A line that has the form of a library's text gives it back when its values are put in.
    std::vector<std::string> values;
    for (const std::string& format : cli::CatalogTexts()) {
        if (cli::MatchFormat(format, line, values) && cli::FillFormat(format, values) != line) {
            std::abort();
        }
    }

    const std::string text = cli::json::Write(cli::json::Text(line));
    if (!IsJsonString(text)) std::abort();
    return 0;
}
