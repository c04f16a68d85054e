// Starting programs.
#pragma once

#include <string>

namespace wi::platform {

// Starts the program (a Windows path) with exactly this command-line text, hidden, inheriting
// no handles, and waits for it to end. False when it could not be started.
bool RunHiddenAndWait(const std::string& program, const std::string& commandLine);

}  // namespace wi::platform
