// The log document: the run's header and one "Log" element per entry.
#pragma once

#include <list>
#include <string>

#include "platform/machine.h"
#include "platform/xml_dom.h"
#include "webinteractive/log.h"

namespace wi::log {

// What one StopLog reports: the configuration of the run, its upload address and its entries.
struct LogRun {
    std::string type, SysId, CaseId, Creator, source, Servlet;
    std::list<LogInfo> entries;
};

// Fills the root "Logs" of a new document with the run, `created` as its "CreateDate". Every
// text is cleaned (IWebInteractive::CleanString) except the two attributes of "Log", which keep
// the entry's guid and special code as they are. In all of them a byte that begins no character
// of the narrow code page becomes '?' (inc::ValidNarrowText). Throws xml::XmlError when the XML
// library fails.
void BuildLogDocument(xml::Element& root, const LogRun& run, const platform::ClockTime& created);

}  // namespace wi::log
