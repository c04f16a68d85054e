// cmd: the command interpreter of the emulated machine. The library starts it as
// C:\windows\system32\cmd.exe with one argument, the whole command text, for example
// /c mkdir "D:\qel_protect\x". Extra arguments are joined with blanks, for use by hand.
// Exit status 0 on success, 1 with a one-line message on standard error otherwise. The text is
// read in the narrow code page of the locale cmd is started in, as the library wrote it.
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
