// Fuzz target for the CLI's reading of status lines and its JSON texts: a status line carries a
// display name that may come from the service (a file name in a locator's answer), so any line is
// either drawn as a bar of bounded width or left alone, and any text makes a valid JSON string.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "json_output.h"
#include "progress_line.h"

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
        const std::string bar = cli::ProgressBar(progress, 80);
        if (bar.find('\n') != std::string::npos) std::abort();
        cli::FinishedBar(progress, progress.received == progress.total, 80);
    }
    std::string name;
    bool stored = false;
    if (cli::ParseTransferEnd(line, name, stored) && name.size() + 2 != line.size()) std::abort();

    const std::string text = cli::json::Value::Text(line).Write();
    if (!IsJsonString(text)) std::abort();
    return 0;
}
