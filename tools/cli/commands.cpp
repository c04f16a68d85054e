#include "command.h"

namespace cli {

namespace {

const std::vector<Command>& CoreCommands() {
    static const std::vector<Command> commands = {
        {"machine", "[--prefix DIR]",
         "show the machine prefix, fixed drives, special folders and a temporary document path",
         "webinteractive machine --prefix ~/.webinteractive",
         {"--prefix"}, {}, RunMachine},
        {"init", "--config FILE [--prefix DIR]",
         "read a configuration document with Init and show the result and the five values",
         "webinteractive init --config config.xml",
         {"--config", "--prefix"}, {"--config"}, RunInit},
        {"softlist create", "--list FILE [--prefix DIR]",
         "print the software list document (CreateSoftListXml) of the records of a document",
         "webinteractive softlist create --list softwares.xml",
         {"--list", "--prefix"}, {"--list"}, RunSoftListCreate},
        {"softlist upload", "--list FILE --url URL [--prefix DIR]",
         "post the software list of the records of a document to an address (UploadSoftList)",
         "webinteractive softlist upload --list softwares.xml --url "
         "http://127.0.0.1:8080/upload/softlist",
         {"--list", "--url", "--prefix"}, {"--list", "--url"}, RunSoftListUpload},
        {"installinfo upload", "--list FILE --url URL [--guid G] [--prefix DIR]",
         "post the install info of a document's first record (or of --guid) and show the reply",
         "webinteractive installinfo upload --list softwares.xml --url "
         "http://127.0.0.1:8080/upload/installinfo --guid {8D2A1C40-0001}",
         {"--list", "--url", "--guid", "--prefix"}, {"--list", "--url"}, RunInstallInfoUpload},
        {"sysinfo upload", "--config FILE [--prefix DIR]",
         "Init with a configuration document, then post the system information to UpSysUrl "
         "under MachineNum (UpdateSysInfo)",
         "webinteractive sysinfo upload --config config.xml",
         {"--config", "--prefix"}, {"--config"}, RunSysInfoUpload},
        {"softfile upload", "--url URL --first NAME [--second NAME] --file PATH [--prefix DIR]",
         "post a file of the machine under the name FIRST\\SECOND (UploadSoftFiles)",
         "webinteractive softfile upload --url http://127.0.0.1:8080/upload/softfile --first "
         "{8D2A1C40-0001} --second XDICT.EXE --file 'C:\\Program Files\\XDICT\\XDICT.EXE'",
         {"--url", "--first", "--second", "--file", "--prefix"}, {"--url", "--first", "--file"},
         RunSoftFileUpload},
        {"filelist create", "--list FILE [--prefix DIR]",
         "print the file list document (CreateFileListXml) of the records of a document",
         "webinteractive filelist create --list softwares.xml > filelist.xml",
         {"--list", "--prefix"}, {"--list"}, RunFileListCreate},
        {"filelist save", "--list FILE --out PATH [--prefix DIR]",
         "write the upload file list of the records of a document to a path of the machine",
         "webinteractive filelist save --list softwares.xml --out 'C:\\upload.xml'",
         {"--list", "--out", "--prefix"}, {"--list", "--out"}, RunFileListSave},
        {"filelist upload", "--list FILE --url URL [--prefix DIR]",
         "post the upload file list of the records of a document to an address",
         "webinteractive filelist upload --list softwares.xml --url "
         "http://127.0.0.1:8080/upload/filelist",
         {"--list", "--url", "--prefix"}, {"--list", "--url"}, RunFileListUpload},
        {"log start", "--state FILE",
         "begin a log run: empty the state file that keeps its entries between calls",
         "webinteractive log start --state log.state",
         {"--state", "--prefix"}, {"--state"}, RunLogStart},
        {"log add", "--state FILE --guid G --result TEXT [--special-code C] [--details 'A|B']",
         "append one entry (details separated by |) to the state file",
         "webinteractive log add --state log.state --guid {8D2A1C40-0001} --result done --details "
         "'copied 12 files|stored on D:'",
         {"--state", "--guid", "--result", "--special-code", "--details", "--prefix"},
         {"--state", "--guid", "--result"}, RunLogAdd},
        {"log stop", "--state FILE --config FILE [--type T] [--source S] [--prefix DIR]",
         "SetParam with the Logs document, save the state file's entries, StopLog (uploads to "
         "Servlet); the entries stay until the next log start",
         "webinteractive log stop --state log.state --config config.xml --type protect --source "
         "webinteractive",
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
