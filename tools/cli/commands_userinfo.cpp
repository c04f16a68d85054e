// The subcommands for configuration protect and restore, and the user information.
#include "command.h"
#include "command_userinfo.h"

namespace cli {

const std::vector<Command>& UserInfoCommands() {
    static const std::vector<Command> commands = {
        {"config protect", "--list FILE [--guid G] [--prefix DIR]",
         "write the configuration document of a record's entries (its first, or that of --guid) "
         "and print its path (ProtectConfig)",
         "webinteractive config protect --list filelist.xml --guid {8D2A1C40-0001}",
         {"--list", "--guid", "--prefix"}, {"--list"}, RunConfigProtect},
        {"config restore", "--list FILE [--guid G] [--type repair|restore] [--prefix DIR]",
         "install the stored configuration entries of a protected software into the registry "
         "and print the report lines (RestoreConfig; type restore by default)",
         "webinteractive config restore --list filelist.xml --guid {8D2A1C40-0001} --type restore",
         {"--list", "--guid", "--type", "--prefix"}, {"--list"}, RunConfigRestore},
        {"registry show", "[--prefix DIR]",
         "print the registry store's values, one a line: key, name, type and data, "
         "separated by tabs (a posix machine's store; Windows lists none: use reg query)",
         "webinteractive registry show",
         {"--prefix"}, {}, RunRegistryShow},
        {"registry set", "--key KEY --name NAME --type N --data TEXT [--prefix DIR]",
         "set one value in the registry store (the system registry on Windows; InstallConf "
         "with action 1) and print it as registry show does",
         "webinteractive registry set --key 'HKEY_LOCAL_MACHINE\\Software\\Kingsoft\\XDICT' "
         "--name InstallPath --type 1 --data 'C:\\Program Files\\XDICT'",
         {"--key", "--name", "--type", "--data", "--prefix"},
         {"--key", "--name", "--type", "--data"},
         RunRegistrySet},
        {"userinfo read", "--config FILE [--prefix DIR]",
         "Init with a configuration document, then print the user-document path the service "
         "keeps for MachineNum (ReadUserInfo)",
         "webinteractive userinfo read --config config.xml",
         {"--config", "--prefix"}, {"--config"}, RunUserInfoRead},
        {"userinfo update", "--config FILE [--prefix DIR]",
         "Init with a configuration document, then post the user-document path to UpUserUrl "
         "(UpdateUserInfo)",
         "webinteractive userinfo update --config config.xml",
         {"--config", "--prefix"}, {"--config"}, RunUserInfoUpdate},
    };
    return commands;
}

}  // namespace cli
