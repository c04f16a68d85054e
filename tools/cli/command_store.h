// The store's subcommands: protect a software given as a file list document, query the store,
// clean a protection.
#pragma once

#include "command.h"

namespace cli {

int RunProtect(const Arguments& arguments);
int RunQueryProtectXml(const Arguments& arguments);
int RunQueryInstallPath(const Arguments& arguments);
int RunQueryVersion(const Arguments& arguments);
int RunQueryFile(const Arguments& arguments);
int RunClean(const Arguments& arguments);

}  // namespace cli
