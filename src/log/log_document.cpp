#include "log/log_document.h"

#include <cstdio>

#include "inc/narrow_text.h"
#include "webinteractive/frame.h"

namespace wi::log {

namespace {

// A value element: bytes the code page cannot read become '?', the characters 1 to 31 go. This
// is the document writers' AppendText step; those writers build on this module, so it cannot
// build on theirs.
void AppendCleaned(xml::Element& parent, const char* name, const std::string& text) {
    std::string valid = inc::ValidNarrowText(text);
    // CleanString returns a buffer that its next call overwrites: copy it out at once.
    const std::string cleaned = IWebInteractive::CleanString(valid);
    parent.AppendElement(name, cleaned);
}

// "CreateDate": year, month, day, hour, minute and second.
std::string FormatCreateDate(const platform::ClockTime& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%d-%02d-%02d %02i:%02i:%02i", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return text;
}

}  // namespace

void BuildLogDocument(xml::Element& root, const LogRun& run, const platform::ClockTime& created) {
    AppendCleaned(root, "Type", run.type);
    AppendCleaned(root, "SysId", run.SysId);
    AppendCleaned(root, "CaseId", run.CaseId);
    AppendCleaned(root, "Creator", run.Creator);
    root.AppendElement("CreateDate", FormatCreateDate(created));
    for (const LogInfo& entry : run.entries) {
        xml::Element log = root.AppendElement("Log");
        // The identifiers go in as they are; only bytes the code page cannot read are replaced.
        log.SetAttribute("guid", inc::ValidNarrowText(entry.guid));
        log.SetAttribute("Special_code", inc::ValidNarrowText(entry.special_code));
        xml::Element content = log.AppendElement("Content");
        AppendCleaned(content, "Source", run.source);
        AppendCleaned(content, "Result", entry.result);
        xml::Element details = content.AppendElement("Details");
        for (const std::string& detail : entry.details) {
            AppendCleaned(details, "Detail", detail);
        }
    }
}

}  // namespace wi::log
