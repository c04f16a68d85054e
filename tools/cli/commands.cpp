#include "command.h"

namespace cli {

namespace {

const std::vector<Command>& CoreCommands() {
    static const std::vector<Command> commands = {
        {"machine", "[--prefix DIR]",
         "show the machine prefix, fixed drives, special folders and a temporary document path",
         {"--prefix"}, {}, RunMachine},
        {"init", "--config FILE [--prefix DIR]",
         "read a configuration document with Init and show the result and the five values",
         {"--config", "--prefix"}, {"--config"}, RunInit},
        {"softlist create", "--list FILE [--prefix DIR]",
         "print the software list document (CreateSoftListXml) of the records of a document",
         {"--list", "--prefix"}, {"--list"}, RunSoftListCreate},
        {"softlist upload", "--list FILE --url URL [--prefix DIR]",
         "post the software list of the records of a document to an address (UploadSoftList)",
         {"--list", "--url", "--prefix"}, {"--list", "--url"}, RunSoftListUpload},
        {"installinfo upload", "--list FILE --url URL [--guid G] [--prefix DIR]",
         "post the install info of a document's first record (or of --guid) and show the reply",
         {"--list", "--url", "--guid", "--prefix"}, {"--list", "--url"}, RunInstallInfoUpload},
        {"sysinfo upload", "--config FILE [--prefix DIR]",
         "Init with a configuration document, then post the system information to UpSysUrl "
         "under MachineNum (UpdateSysInfo)",
         {"--config", "--prefix"}, {"--config"}, RunSysInfoUpload},
        {"softfile upload", "--url URL --first NAME [--second NAME] --file PATH [--prefix DIR]",
         "post a file of the machine under the name FIRST\\SECOND (UploadSoftFiles)",
         {"--url", "--first", "--second", "--file", "--prefix"}, {"--url", "--first", "--file"},
         RunSoftFileUpload},
        {"filelist create", "--list FILE [--prefix DIR]",
         "print the file list document (CreateFileListXml) of the records of a document",
         {"--list", "--prefix"}, {"--list"}, RunFileListCreate},
        {"filelist save", "--list FILE --out PATH [--prefix DIR]",
         "write the upload file list of the records of a document to a path of the machine",
         {"--list", "--out", "--prefix"}, {"--list", "--out"}, RunFileListSave},
        {"filelist upload", "--list FILE --url URL [--prefix DIR]",
         "post the upload file list of the records of a document to an address",
         {"--list", "--url", "--prefix"}, {"--list", "--url"}, RunFileListUpload},
        {"log start", "--state FILE",
         "begin a log run: empty the state file that keeps its entries between calls",
         {"--state", "--prefix"}, {"--state"}, RunLogStart},
        {"log add", "--state FILE --guid G --result TEXT [--special-code C] [--details 'A|B']",
         "append one entry (details separated by |) to the state file",
         {"--state", "--guid", "--result", "--special-code", "--details", "--prefix"},
         {"--state", "--guid", "--result"}, RunLogAdd},
        {"log stop", "--state FILE --config FILE [--type T] [--source S] [--prefix DIR]",
         "SetParam with the Logs document, save the state file's entries, StopLog (uploads to "
         "Servlet); the entries stay until the next log start",
         {"--state", "--config", "--type", "--source", "--prefix"}, {"--state", "--config"},
         RunLogStop},
    };
    return commands;
}

}  // namespace

const std::vector<Command>& Commands() {
    static const std::vector<Command> all = [] {
        std::vector<Command> commands;
        for (const std::vector<Command>* family :
             {&CoreCommands(), &ListCommands(), &DownloadCommands(), &StoreCommands(),
              &UserInfoCommands()}) {
            commands.insert(commands.end(), family->begin(), family->end());
        }
        return commands;
    }();
    return all;
}

}  // namespace cli
