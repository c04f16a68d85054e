// The subcommands for protection of a software in the local store, its queries and cleaning.
#include "command.h"
#include "command_store.h"

namespace cli {

const std::vector<Command>& StoreCommands() {
    static const std::vector<Command> commands = {
        {"protect", "--list FILE [--guid G] [--prefix DIR]",
         "protect a software of a file list document (its first, or that of --guid) in the "
         "local store (ProtectFilesToLocal), copying each file from its SetupPath",
         {"--list", "--guid", "--prefix"}, {"--list"}, RunProtect},
        {"query xml", "--guid G [--prefix DIR]",
         "print the protect document path of a protected software (GetProtectXmlPath)",
         {"--guid", "--prefix"}, {"--guid"}, RunQueryProtectXml},
        {"query install", "--guid G [--prefix DIR]",
         "print the install path a protection recorded (GetProtectedInstallPath)",
         {"--guid", "--prefix"}, {"--guid"}, RunQueryInstallPath},
        {"query version", "--guid G [--prefix DIR]",
         "print the version a protection recorded (GetProtectedVersion)",
         {"--guid", "--prefix"}, {"--guid"}, RunQueryVersion},
        {"query file", "--xml PROTECT_XML --source PATH [--prefix DIR]",
         "print where a protect document stores a source file (GetFileProtectPath)",
         {"--xml", "--source", "--prefix"}, {"--xml", "--source"}, RunQueryFile},
        {"clean", "--guid G [--prefix DIR]",
         "remove a software's protection from the store (CleanProtectSoftware)",
         {"--guid", "--prefix"}, {"--guid"}, RunClean},
    };
    return commands;
}

}  // namespace cli
