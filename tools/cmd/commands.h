// Carrying out a parsed command on the emulated machine, through the platform's file calls.
#pragma once

#include <string>

#include "command_line.h"

namespace wi::cmd {

// Runs the command on each of its paths; false with a one-line message when any failed.
bool RunCommand(const Command& command, std::string& error);

}  // namespace wi::cmd
