// A log entry that is saved again and again while its details only grow, as the file list
// document's entry is: each record's save also carries the details of the records before it.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "log/log_access.h"

namespace wi::log {

// Each Save stores what CLogInc::SaveOneLog stores for a LogInfo with these texts and every
// detail added so far, but the saved entries share the details instead of copying them: a save
// costs the details added since the previous one.
class GrowingLogEntry {
public:
    std::string guid, special_code, result;

    // A detail of the next save and of every later one.
    void AddDetail(std::string text) { added_.push_back(std::move(text)); }
    // Saves the entry as it stands into the process's log.
    void Save() { LogAccess::SaveGrowing(*this); }

private:
    friend struct LogAccess;

    // Shared with the saved entries, which read a prefix each; extended only under the log's
    // lock, since those entries are read under it.
    std::shared_ptr<std::vector<std::string>> details_ =
        std::make_shared<std::vector<std::string>>();
    std::vector<std::string> added_;  // since the last save
};

}  // namespace wi::log
