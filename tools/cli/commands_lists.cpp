// The subcommands for lists read from the service: software IDs, file lists, latest versions, patches.
#include "command.h"

namespace cli {

const std::vector<Command>& ListCommands() {
    static const std::vector<Command> commands = {
    };
    return commands;
}

}  // namespace cli
