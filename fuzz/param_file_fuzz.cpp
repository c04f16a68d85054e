// Fuzz target for the reader of the host parameter file: any bytes load without a crash into
// exactly the parameters that a plain reading of the lines finds ("name=value", \\ \r \n \=
// escaped; a line with a second "=" or another escape skipped; the last of a name kept; a CR at
// a line's end dropped), and the parameters written back read the same again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "status/param_file.h"
#include "temporary_machine.h"

namespace {

namespace status = wi::status;

// One line of the file: false when it does not read as a parameter.
bool ReadLine(const std::string& line, std::string& name, std::string& value) {
    std::string parts[2];
    int part = 0;
    for (std::size_t at = 0; at < line.size(); ++at) {
        if (line[at] == '=') {
            if (part++ == 1) return false;
            continue;
        }
        if (line[at] == '\\') {
            if (++at == line.size()) return false;
            const std::string escapes = "\\\\r\rn\n==";
            const std::size_t found = escapes.find(line[at]);
            if (found == std::string::npos || found % 2 != 0) return false;
            parts[part] += escapes[found + 1];
            continue;
        }
        parts[part] += line[at];
    }
    name = parts[0];
    value = parts[1];
    return part == 1;
}

status::ParameterMap Expected(const std::string& bytes) {
    status::ParameterMap parameters;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string name, value;
        if (!line.empty() && ReadLine(line, name, value)) parameters[name] = value;
        start = end + 1;
    }
    return parameters;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const wi::fuzz::TemporaryMachine machine("param_file_fuzz");  // a folder of its own
    const std::string folder = machine.Directory().string();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = folder + "/parameters";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;

    status::ParameterMap loaded{{"left", "over"}};
    if (status::LoadParameterFile(path, loaded) != status::LoadResult::kLoaded) std::abort();
    if (loaded != Expected(bytes)) std::abort();

    const std::string again = folder + "/again";
    std::remove(again.c_str());
    status::ParameterMap merged, reread;
    if (!status::SaveParameterChanges(again, loaded, merged) || merged != loaded) std::abort();
    const status::LoadResult read = status::LoadParameterFile(again, reread);
    if (read != status::LoadResult::kLoaded || reread != loaded) std::abort();
    return 0;
}
