// The configuration and user-information subcommands: a software's configuration entries
// protected and restored through the store, the registry they are restored into, and the
// user-document path exchanged with the service.
#pragma once

#include "command.h"

namespace cli {

int RunConfigProtect(const Arguments& arguments);
int RunConfigRestore(const Arguments& arguments);
int RunRegistryShow(const Arguments& arguments);
int RunRegistrySet(const Arguments& arguments);
int RunUserInfoRead(const Arguments& arguments);
int RunUserInfoUpdate(const Arguments& arguments);

}  // namespace cli
