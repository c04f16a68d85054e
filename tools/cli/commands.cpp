#include "command.h"

namespace cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"machine", "[--prefix DIR]",
         "show the machine prefix, fixed drives, special folders and a temporary document path",
         {"--prefix"}, {}, RunMachine},
        {"init", "--config FILE [--prefix DIR]",
         "read a configuration document with Init and show the result and the five values",
         {"--config", "--prefix"}, {"--config"}, RunInit},
    };
    return commands;
}

}  // namespace cli
