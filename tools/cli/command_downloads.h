// webinteractive softlist download|parse, patch download, download soft|install|install-to,
// size, remove-info: requests to the service and single-file downloads, with their results
// printed one to a line.
#pragma once

#include "command.h"

namespace cli {

int RunSoftListDownload(const Arguments& arguments);
int RunSoftListParse(const Arguments& arguments);
int RunPatchDownload(const Arguments& arguments);
int RunSoftFileDownload(const Arguments& arguments);
int RunInstallFileDownload(const Arguments& arguments);
int RunInstallFileDownloadTo(const Arguments& arguments);
int RunDownloadSize(const Arguments& arguments);
int RunRemoveFileInfo(const Arguments& arguments);

}  // namespace cli
