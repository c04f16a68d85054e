// Fuzz target for the texts that name places on the machine: Windows paths and the command text
// cmd receives. A parsed path never climbs above its drive and reads back as itself; a parsed
// command names only paths that parse.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/posix/windows_path.h"
#include "cmd/command_line.h"

namespace {

void CheckPath(const std::string& text) {
    wi::platform::posix::WindowsPath path;
    if (!wi::platform::posix::ParseWindowsPath(text, path)) return;
    for (const std::string& name : path.names) {
        if (name.empty() || name == "." || name == "..") std::abort();
    }
    wi::platform::posix::WindowsPath again;
    const std::string formatted = wi::platform::posix::FormatWindowsPath(path);
    if (!wi::platform::posix::ParseWindowsPath(formatted, again)) std::abort();
    if (again.drive != path.drive || again.names != path.names) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    CheckPath(input);
    wi::cmd::Command command;
    std::string error;
    if (wi::cmd::ParseCommand(input, command, error)) {
        for (const std::string& path : command.paths) CheckPath(path);
    }
    return 0;
}
