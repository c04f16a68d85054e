// webinteractive log start|add|stop: an operation log run across separate calls. Each call is a
// process of its own, so the run's entries wait in a state file (--state FILE) between them:
// "log start" empties it, "log add" appends one entry, "log stop" configures the log object from
// the configuration document, saves every entry of the file into it and uploads the log. As with
// the library's own log, "log stop" keeps the entries (a failed upload can be tried again); only
// "log start" empties them.
//
// The state file holds one entry a line: guid, special code, result and the details, separated by
// tabs; a backslash, tab, line feed or carriage return inside a text is written as \\, \t, \n
// or \r.
#include <cstdio>
#include <exception>
#include <list>
#include <string>
#include <vector>

#include "command_input.h"
#include "failure_cause.h"
#include "report.h"
#include "webinteractive/webinteractive.h"

namespace cli {
namespace {

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
        }
    }
    return out;
}

// The fields of one line; a backslash before any other character stands for itself.
std::vector<std::string> SplitLine(const std::string& line) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c == '\\' && i + 1 < line.size()) {
            const char next = line[++i];
            fields.back() += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// The entries of the state file; false when it cannot be read.
bool ReadEntries(const std::string& path, std::list<LogInfo>& entries) {
    std::string text;
    if (!ReadWholeFile(path, text)) return false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::vector<std::string> fields = SplitLine(text.substr(start, end - start));
        start = end + 1;
        if (fields.size() < 3) continue;  // not a line this command wrote
        LogInfo entry;
        entry.guid = fields[0];
        entry.special_code = fields[1];
        entry.result = fields[2];
        entry.details.assign(fields.begin() + 3, fields.end());
        entries.push_back(entry);
    }
    return true;
}

std::string Option(const Arguments& arguments, const char* name) {
    return arguments.Has(name) ? arguments.Get(name) : std::string();
}

int CannotWrite(const std::string& path) {
    Fail("cannot write %s: check that its folder exists and is writable", path.c_str());
    return kExitFailure;
}

}  // namespace

int RunLogStart(const Arguments& arguments) {
    const std::string& path = arguments.Get("--state");
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.good()) return CannotWrite(path);
    Result()["state"] = json::Text(path);
    return kExitOk;
}

int RunLogAdd(const Arguments& arguments) {
    const std::string& path = arguments.Get("--state");
    std::string line = Escape(arguments.Get("--guid")) + "\t" +
                       Escape(Option(arguments, "--special-code")) + "\t" +
                       Escape(arguments.Get("--result"));
    // The details are one option: "first|second" gives two.
    if (arguments.Has("--details")) {
        const std::string& details = arguments.Get("--details");
        std::size_t start = 0;
        for (;;) {
            const std::size_t bar = details.find('|', start);
            line += "\t" + Escape(details.substr(start, bar - start));
            if (bar == std::string::npos) break;
            start = bar + 1;
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << line << '\n';
    out.flush();
    if (!out.good()) return CannotWrite(path);
    Result()["state"] = json::Text(path);
    return kExitOk;
}

int RunLogStop(const Arguments& arguments) {
    const std::string& configPath = arguments.Get("--config");
    std::string config;
    if (!ReadOptionFile(arguments, "--config", config)) return kExitFailure;
    const std::string& statePath = arguments.Get("--state");
    std::list<LogInfo> entries;
    if (!ReadEntries(statePath, entries)) {
        Fail("cannot read %s: run \"webinteractive log start --state %s\" first",
             statePath.c_str(), statePath.c_str());
        return kExitFailure;
    }

    CLogInc& log = *IWebInteractive::GetLogInc();
    log.SetParam(config.c_str(), Option(arguments, "--type").c_str(),
                 Option(arguments, "--source").c_str());
    log.StartLog();
    for (const LogInfo& entry : entries) log.SaveOneLog(entry);
    int result = 0;
    try {
        result = log.StopLog();
    } catch (const std::exception& error) {
        Fail("the log document cannot be saved: %s", error.what());
        return kExitFailure;
    }
    Print("StopLog: %d (%zu entries)\n", result, entries.size());
    Result()["result"] = result;
    Result()["entries"] = entries.size();
    const bool delivered =
        CheckUploadAnswer("the Servlet address of " + configPath) && result == 1;
    if (!delivered) {
        Fail("nothing was delivered (no Servlet in %s, or the upload failed); the entries stay "
             "in %s for another log stop", configPath.c_str(), statePath.c_str());
    }
    return delivered ? kExitOk : kExitFailure;
}

}  // namespace cli
