// The subcommands for requests and single-file downloads.
#include "command.h"

namespace cli {

const std::vector<Command>& DownloadCommands() {
    static const std::vector<Command> commands = {
    };
    return commands;
}

}  // namespace cli
