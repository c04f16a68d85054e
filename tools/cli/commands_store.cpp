// The subcommands for protection of a software in the local store, its queries and cleaning.
#include "command.h"
#include "command_store.h"

namespace cli {

const std::vector<Command>& StoreCommands() {
    static const std::vector<Command> commands = {
        {"protect", "--list FILE [--guid G] [--prefix DIR]",
         "protect a software of a file list document (its first, or that of --guid) in the "
         "local store (ProtectFilesToLocal), copying each file from its SetupPath",
         "webinteractive protect --list filelist.xml --guid {8D2A1C40-0001}",
         {"--list", "--guid", "--prefix"}, {"--list"}, RunProtect},
        {"query xml", "--guid G [--prefix DIR]",
         "print the protect document path of a protected software (GetProtectXmlPath)",
         "webinteractive query xml --guid {8D2A1C40-0001}",
         {"--guid", "--prefix"}, {"--guid"}, RunQueryProtectXml},
        {"query install", "--guid G [--prefix DIR]",
         "print the install path a protection recorded (GetProtectedInstallPath)",
         "webinteractive query install --guid {8D2A1C40-0001}",
         {"--guid", "--prefix"}, {"--guid"}, RunQueryInstallPath},
        {"query version", "--guid G [--prefix DIR]",
         "print the version a protection recorded (GetProtectedVersion)",
         "webinteractive query version --guid {8D2A1C40-0001}",
         {"--guid", "--prefix"}, {"--guid"}, RunQueryVersion},
        {"query file", "--xml PROTECT_XML --source PATH [--prefix DIR]",
         "print where a protect document stores a source file (GetFileProtectPath)",
         "webinteractive query file --xml "
         "'D:\\qel_protect\\software\\{8D2A1C40-0001}\\Protect.xml' --source 'C:\\Program "
         "Files\\XDICT\\XDICT.EXE'",
         {"--xml", "--source", "--prefix"}, {"--xml", "--source"}, RunQueryFile},
        {"clean", "--guid G [--prefix DIR]",
         "remove a software's protection from the store (CleanProtectSoftware)",
         "webinteractive clean --guid {8D2A1C40-0001}",
         {"--guid", "--prefix"}, {"--guid"}, RunClean},
    };
    return commands;
}

}  // namespace cli
