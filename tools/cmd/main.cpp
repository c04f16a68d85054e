// cmd: the command interpreter of the emulated machine. The library starts it as
// C:\windows\system32\cmd.exe with one argument, the whole command text, for example
// /c mkdir "D:\qel_protect\x". Extra arguments are joined with blanks, for use by hand.
// Exit status 0 on success, 1 with a one-line message on standard error otherwise. The text is
// read in the narrow code page it was written in: the codeset of the locale named by
// WEBINTERACTIVE_LC_CTYPE, which the library sets to its calling thread's locale, else of the
// environment's locale. A locale that cannot be loaded is refused: read in another code page, a
// double-byte character's trail byte 0x5C would split a path in two.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "command_line.h"
#include "commands.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    const char* ctype = std::getenv("WEBINTERACTIVE_LC_CTYPE");
    if (ctype && *ctype && !std::setlocale(LC_CTYPE, ctype)) {
        std::fprintf(stderr, "Cannot read the command in the locale %s\n", ctype);
        return 1;
    }
    // The machine prefix it works on is completed on first use, its cmd.exe link included: that
    // link names this program, which the library started through it. Without this, the program
    // would look for a cmd beside a shared library it is not part of, and point the link at the
    // build tree's cmd instead of the installed one.
    std::error_code unreadable;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", unreadable);
    if (!unreadable && !std::getenv("WEBINTERACTIVE_CMD")) {
        setenv("WEBINTERACTIVE_CMD", self.c_str(), 1);
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: cmd /c mkdir|md|attrib|rmdir|rd ... \"path\"\n");
        return 1;
    }
    std::string text = argv[1];
    for (int i = 2; i < argc; ++i) text += std::string(" ") + argv[i];

    wi::cmd::Command command;
    std::string error;
    if (!wi::cmd::ParseCommand(text, command, error) || !wi::cmd::RunCommand(command, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
