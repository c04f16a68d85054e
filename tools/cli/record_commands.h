// What the subcommands that work on a document's software records share: reading the records of
// --list, choosing one, and reporting an operation's error in one line.
#pragma once

#include <cstdio>
#include <exception>
#include <list>
#include <string>

#include "command.h"
#include "record_file.h"
#include "report.h"
#include "webinteractive/records.h"

namespace cli {

// The records of --list; false, after saying why in one line, when there are none to use.
inline bool ReadRecords(const Arguments& arguments, std::list<ISoftInfoInc::_SoftInfo>& softs) {
    const std::string& path = arguments.Get("--list");
    std::string error;
    if (!ReadSoftInfoFile(path, softs, error)) {
        FailInput("%s: give a file list document as filelist create or a download writes one",
             error.c_str());
        return false;
    }
    if (softs.empty()) {
        FailInput("%s holds no software records: give a file list document with at least one "
             "software", path.c_str());
        return false;
    }
    return true;
}

// The record of --guid, else the document's first; null after saying why.
inline const ISoftInfoInc::_SoftInfo* ChooseRecord(
    const Arguments& arguments, const std::list<ISoftInfoInc::_SoftInfo>& softs) {
    if (!arguments.Has("--guid")) return &softs.front();
    for (const ISoftInfoInc::_SoftInfo& soft : softs) {
        if (soft.GUID == arguments.Get("--guid")) return &soft;
    }
    FailInput("%s holds no software %s: check --guid", arguments.Get("--list").c_str(),
         arguments.Get("--guid").c_str());
    return nullptr;
}

// Runs a document writer or upload; an error of the XML library or of a file operation is the
// run's failure. CXException's message spans lines ("code:..\r\ninformation: \r\n.."): the
// failure line takes it with its line ends as blanks.
template <typename Write>
int RunWriter(const char* what, Write write) {
    try {
        return write() ? kExitOk : kExitFailure;
    } catch (const std::exception& error) {
        Fail("%s failed: %s", what, error.what());
    }
    return kExitFailure;
}

}  // namespace cli
