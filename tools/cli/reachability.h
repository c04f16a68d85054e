// Why an operation that talks to the service failed, when the reason is that nothing answers at
// its address: the library's operations tell only that they failed, so after a failure the CLI
// tries to connect once to the address's host and port and, when nothing accepts, says so.
#pragma once

#include <string>

#include "command.h"

namespace cli {

// True when the address is an http or https address and nothing accepts a connection at its
// host and port within two seconds.
bool ServiceUnreachable(const std::string& url);

// After a run that failed past its input: when the service address the command used (--url, or for the commands that
// read a configuration document the address Init took from it) is unreachable, the run's failure
// becomes "cannot reach ADDRESS: is webinteractive-service running?".
void ExplainUnreachableService(const Command& command, const Arguments& arguments);

}  // namespace cli
