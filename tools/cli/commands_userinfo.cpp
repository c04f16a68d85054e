// The subcommands for configuration protect and restore, and the user information.
#include "command.h"

namespace cli {

const std::vector<Command>& UserInfoCommands() {
    static const std::vector<Command> commands = {
    };
    return commands;
}

}  // namespace cli
