// The subcommands for requests and single-file downloads.
#include "command.h"
#include "command_downloads.h"

namespace cli {

const std::vector<Command>& DownloadCommands() {
    static const std::vector<Command> commands = {
        {"softlist download", "--url U [--prefix DIR]",
         "read the software ID list from the service (DownloadSoftList): one line per software",
         "webinteractive softlist download --url http://127.0.0.1:8080/softlist",
         {"--url", "--prefix"}, {"--url"}, RunSoftListDownload},
        {"softlist parse", "--file DOC [--prefix DIR]",
         "read a software ID list document from a local file, as text in the narrow code page "
         "(ParseSoftIDList): one line per software",
         "webinteractive softlist parse --file softids.xml",
         {"--file", "--prefix"}, {"--file"}, RunSoftListParse},
        {"patch download", "--url U --id P [--prefix DIR]",
         "ask the service where a patch lies and download it (DownloadPatchFile); prints the "
         "local path",
         "webinteractive patch download --url http://127.0.0.1:8080/patch --id KB2003",
         {"--url", "--id", "--prefix"}, {"--url", "--id"}, RunPatchDownload},
        {"download soft",
         "--url U --guid G --soft-code S --file-code F [--type N] [--prefix DIR]",
         "download a file of a software (DownloadSoftFile; type 1, the default, names the file "
         "after its file code); prints the local path",
         "webinteractive download soft --url http://127.0.0.1:8080/softfile --guid "
         "{8D2A1C40-0001} --soft-code XDICT --file-code F01",
         {"--url", "--guid", "--soft-code", "--file-code", "--type", "--prefix"},
         {"--url", "--guid", "--soft-code", "--file-code"}, RunSoftFileDownload},
        {"download install", "--url U --subdir D --name N [--prefix DIR]",
         "locate an install file and download it into D under the templates folder "
         "(DownloadInstallFile); prints the local path",
         "webinteractive download install --url http://127.0.0.1:8080/install --subdir XDICT "
         "--name setup.exe",
         {"--url", "--subdir", "--name", "--prefix"}, {"--url", "--subdir", "--name"},
         RunInstallFileDownload},
        {"download install-to", "--url U --subdir D --name N --dir TARGET [--prefix DIR]",
         "locate an install file and download it into a directory of the machine "
         "(DownloadInstallFile1); prints the local path",
         "webinteractive download install-to --url http://127.0.0.1:8080/install --subdir XDICT "
         "--name setup.exe --dir 'D:\\Downloads'",
         {"--url", "--subdir", "--name", "--dir", "--prefix"},
         {"--url", "--subdir", "--name", "--dir"}, RunInstallFileDownloadTo},
        {"size", "--url U --name N [--prefix DIR]",
         "the size of a file as the service's locator and its address report it "
         "(GetDownloadSize)",
         "webinteractive size --url http://127.0.0.1:8080/size --name setup.exe",
         {"--url", "--name", "--prefix"}, {"--url", "--name"}, RunDownloadSize},
        {"remove-info", "--url U --guid G --version V --code C [--prefix DIR]",
         "tell the service to forget a file's information (RemoveFileInfo)",
         "webinteractive remove-info --url http://127.0.0.1:8080/removefileinfo --guid "
         "{8D2A1C40-0001} --version 2 --code F01",
         {"--url", "--guid", "--version", "--code", "--prefix"},
         {"--url", "--guid", "--version", "--code"}, RunRemoveFileInfo},
    };
    return commands;
}

}  // namespace cli
