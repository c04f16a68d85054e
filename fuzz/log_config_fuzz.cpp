// Fuzz target for the configuration text of CLogInc::SetParam: any text must leave the log in the
// state the text describes (Servlet cleared, then the keys of a "Logs" root in any letter case;
// type and source only when the text parses), and the values read must build a log document that
// serialises and reads back with every text as the log writes it. StopLog is called only while
// Servlet is empty, so the target never sends anything; it works on a machine of its own all the
// same, so that a fault never touches the user's.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "log/log_access.h"
#include "inc/narrow_text.h"
#include "platform/xml_dom.h"
#include "temporary_machine.h"
#include "webinteractive/frame.h"

namespace {

constexpr const char* kBefore =
    "<Logs><SysId>s0</SysId><CaseId>c0</CaseId><Creator>r0</Creator><Servlet>x</Servlet></Logs>";

void Require(bool condition) {
    if (!condition) std::abort();
}

// The value a key should hold: the child's text when the root has that child, else `previous`.
std::string Expected(const wi::xml::Element& root, const char* key, const std::string& previous) {
    const wi::xml::Element child = root.FirstChild(key);
    return child ? child.Text() : previous;
}

// A value as the log writes it into an element.
std::string Cleaned(const std::string& text) {
    std::string valid = wi::inc::ValidNarrowText(text);
    return IWebInteractive::CleanString(valid);
}

// XML carries no control character but tab, line feed and carriage return.
std::string XmlCharacters(std::string text) {
    std::string kept;
    for (char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code >= 0x20 || c == '\t' || c == '\n' || c == '\r') kept += c;
    }
    return kept;
}

// Builds the document of the run with one entry made of the values read, reads it back and
// compares what must survive.
void CheckDocument(const wi::log::LogRun& read) {
    wi::log::LogRun run = read;
    run.entries.push_back({run.Servlet, run.SysId, run.CaseId, {run.Creator, run.type}});
    wi::xml::Document document;
    wi::xml::Element root = document.CreateRoot("Logs");
    wi::log::BuildLogDocument(root, run, {2026, 1, 2, 3, 4, 5, 6});
    std::string text;
    Require(document.ToText(text));

    wi::xml::Document back;
    Require(back.ParseText(text));
    const wi::xml::Element logs = back.Root();
    Require(logs.FirstChild("SysId").Text() == Cleaned(run.SysId));
    Require(logs.FirstChild("Creator").Text() == Cleaned(run.Creator));
    Require(logs.FirstChild("CreateDate").Text() == "2026-01-02 03:04:05");
    const wi::xml::Element log = logs.FirstChild("Log");
    Require(log.Attribute("guid") == XmlCharacters(wi::inc::ValidNarrowText(run.Servlet)));
    Require(log.Attribute("Special_code") == XmlCharacters(wi::inc::ValidNarrowText(run.SysId)));
    const wi::xml::Element content = log.FirstChild("Content");
    Require(content.FirstChild("Result").Text() == Cleaned(run.CaseId));
    Require(content.FirstChild("Details").Children().size() == 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const wi::fuzz::TemporaryMachine machine("log_config_fuzz");
    CLogInc& log = *IWebInteractive::GetLogInc();
    log.SetParam(kBefore, "t0", "s0");
    // SetParam takes a C string: the text ends at its first zero byte.
    const std::string text(reinterpret_cast<const char*>(data), size);
    log.SetParam(text.c_str(), "fuzz-type", "fuzz-source");
    const wi::log::LogRun run = wi::log::LogAccess::CurrentRun();

    wi::xml::Document document;
    const bool parsed = document.ParseText(text.c_str()) && document.Root();
    if (!parsed) {
        Require(run.Servlet.empty() && run.SysId == "s0" && run.type == "t0" &&
                run.source == "s0");
    } else if (!document.Root().NameIs("Logs")) {
        Require(run.Servlet.empty() && run.SysId == "s0" && run.CaseId == "c0" &&
                run.type == "fuzz-type" && run.source == "fuzz-source");
    } else {
        const wi::xml::Element root = document.Root();
        Require(run.Servlet == Expected(root, "Servlet", ""));
        Require(run.SysId == Expected(root, "SysId", "s0"));
        Require(run.CaseId == Expected(root, "CaseId", "c0"));
        Require(run.Creator == Expected(root, "Creator", "r0"));
        Require(run.type == "fuzz-type" && run.source == "fuzz-source");
    }
    if (run.Servlet.empty()) Require(log.StopLog() == 0);
    CheckDocument(run);
    return 0;
}
