// The subcommands for protection of a software in the local store, its queries and cleaning.
#include "command.h"

namespace cli {

const std::vector<Command>& StoreCommands() {
    static const std::vector<Command> commands = {
    };
    return commands;
}

}  // namespace cli
