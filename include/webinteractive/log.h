/// @file
/// The operation log: entries of protections, repairs and restores, uploaded as one document.
#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "webinteractive/export.h"

/// One entry of the operation log.
struct LogInfo {
    std::string guid;                ///< the software the entry is about
    std::string special_code;        ///< the special code of its version
    std::string result;              ///< the outcome, as text
    std::list<std::string> details;  ///< one line per step
};

/// @cond internal
namespace wi::log {
struct LogAccess;
}
/// @endcond

/// The process has one object, IWebInteractive::GetLogInc(). Its calls are safe against each
/// other from several threads; an upload of StopLog does not hold back the other calls.
class WI_EXPORT CLogInc {
public:
    /// Reads SysId, CaseId, Creator and Servlet from a configuration document (root "Logs" in
    /// any letter case) and keeps the type and the source. Servlet is cleared first: a text that
    /// is empty or does not parse leaves the log without an upload address.
    void SetParam(const char* configText, const char* type, const char* source);
    /// Empties the entry list.
    void StartLog();
    /// Appends a copy of the entry.
    void SaveOneLog(const LogInfo& entry);
    /// Builds the log document of the entries, saves it under a temporary "logTemp" name, posts
    /// it to Servlet and deletes the file, whatever the upload's result. 0 without Servlet;
    /// otherwise the upload's result (1 when the service answered, 0 when the transfer failed).
    /// A document that cannot be saved raises an error derived from std::runtime_error and
    /// nothing is sent. The entries stay until the next StartLog, so a failed report can be
    /// repeated. Bytes of a text that begin no character of the narrow code page are written as
    /// '?'.
    int StopLog();

private:
    friend struct wi::log::LogAccess;

    std::mutex mutex_;
    std::string type_, SysId_, CaseId_, Creator_, source_, Servlet_;
    /// An entry as kept: its details are the first detailCount texts of a list that later
    /// entries may extend (the file list document's entry grows record by record), so a text
    /// shared by many entries is held once.
    struct StoredEntry {
        std::string guid, special_code, result;
        std::shared_ptr<const std::vector<std::string>> details;
        std::size_t detailCount;
    };
    std::list<StoredEntry> entries_;
};
