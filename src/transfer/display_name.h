// The name a transfer shows in its status lines.
#pragma once

#include <string>

#include "webinteractive/FileOperator.h"

namespace wi::transfer {

// The caller's display name, or else the file name of the local path.
inline std::string DisplayName(const char* displayName, const std::string& localPath) {
    return displayName != nullptr ? displayName : CXFileOperator::GetFileName(localPath);
}

}  // namespace wi::transfer
