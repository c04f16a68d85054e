// What the library's own operations read of the log object's configuration.
#pragma once

#include <string>

#include "log/log_document.h"

namespace wi::log {

class GrowingLogEntry;

struct LogAccess {
    // The type of the current run, as the last SetParam gave it ("repair", "restore", ...): the
    // repair and restore of configuration entries choose their result texts by it.
    static std::string RunType();
    // A copy of the log object's configuration and entries, taken under its lock.
    static LogRun CurrentRun();
    // Moves the details added to the entry since its last save to its shared details and saves
    // an entry showing all of them.
    static void SaveGrowing(GrowingLogEntry& entry);
};

}  // namespace wi::log
