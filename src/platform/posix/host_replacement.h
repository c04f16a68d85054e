// New content for a file of the host (outside the emulated drives, such as the machine prefix's
// own files), put in place atomically as OpenReplacement does for Windows paths.
#pragma once

#include <memory>
#include <string>

#include "platform/files.h"

namespace wi::platform::posix {

std::unique_ptr<PendingFile> OpenHostReplacement(const std::string& hostPath,
                                                 Durability durability = Durability::kOrdinary);

}  // namespace wi::platform::posix
