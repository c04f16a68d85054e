// What the library's own operations read of the log object's configuration.
#pragma once

#include <string>

namespace wi::log {

struct LogAccess {
    // The type of the current run, as the last SetParam gave it ("repair", "restore", ...): the
    // repair and restore of configuration entries choose their result texts by it.
    static std::string RunType();
};

}  // namespace wi::log
