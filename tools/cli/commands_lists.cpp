// The subcommands for lists read from the service: software IDs, file lists, latest versions, patches.
#include "command.h"
#include "command_lists.h"

namespace cli {

const std::vector<Command>& ListCommands() {
    static const std::vector<Command> commands = {
        {"filelist download",
         "--url U --guid G [--special-code C] [--pn-version V] [--save PATH] [--prefix DIR]",
         "read a software's file list from the service (DownloadFileList): one line per version "
         "and the locked value; --save writes the records as an upload file list",
         "webinteractive filelist download --url http://127.0.0.1:8080/filelist --guid "
         "{8D2A1C40-0001} --save 'C:\\filelist.xml'",
         {"--url", "--guid", "--special-code", "--pn-version", "--save", "--prefix"},
         {"--url", "--guid"}, RunFileListDownload},
        {"certain", "--url U --guid G --version N [--save PATH] [--prefix DIR]",
         "read one version of a software with its patches (DownloadCertainFileList); --save "
         "writes the record as an upload file list",
         "webinteractive certain --url http://127.0.0.1:8080/certain --guid {8D2A1C40-0001} "
         "--version -1",
         {"--url", "--guid", "--version", "--save", "--prefix"}, {"--url", "--guid", "--version"},
         RunCertainFileList},
        {"patch parse", "--file DOC | --url URL [--save PATH] [--prefix DIR]",
         "read a patch list document from a local file or from the service (ParsePatchsList): "
         "one line per version; --save writes the records as an upload file list",
         "webinteractive patch parse --url 'http://127.0.0.1:8080/patchlist?guid={8D2A1C40-0001}'",
         {"--file", "--url", "--save", "--prefix"}, {}, RunPatchListParse},
    };
    return commands;
}

}  // namespace cli
