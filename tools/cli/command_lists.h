// webinteractive filelist download | certain | patch parse: lists read from the service (or, for
// patch lists, from a local file) shown as a short summary and optionally saved as an upload
// file list document.
#pragma once

#include "command.h"

namespace cli {

int RunFileListDownload(const Arguments& arguments);
int RunCertainFileList(const Arguments& arguments);
int RunPatchListParse(const Arguments& arguments);

}  // namespace cli
