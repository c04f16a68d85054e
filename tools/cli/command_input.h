// What the subcommands share in reading their input: files named by options, whole-number
// options and the configuration document Init reads. Each check says what is wrong in one line.
#pragma once

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "command.h"
#include "record_file.h"
#include "report.h"
#include "webinteractive/webinteractive.h"

namespace cli {

// The whole content of a host file; false when it cannot be read (a directory opens, but its
// first read raises: that is a file that cannot be read too, not the end of the program).
inline bool ReadWholeFile(const std::string& path, std::string& text) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    try {
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::ios_base::failure&) {
        return false;
    }
    return !in.bad();
}

// The content of the file an option names; false after saying why.
inline bool ReadOptionFile(const Arguments& arguments, const char* option, std::string& text) {
    const std::string& path = arguments.Get(option);
    if (ReadWholeFile(path, text)) return true;
    FailInput("cannot read %s%s: check that the file exists and is readable", path.c_str(),
              SystemReason().c_str());
    return false;
}

// Why a configuration document was refused: where it is no XML, else what it lacks.
inline void FailConfiguration(const Arguments& arguments, const std::string& text) {
    const std::string problem = DocumentProblem(text);
    if (!problem.empty()) {
        FailInput("%s: %s", arguments.Get("--config").c_str(), problem.c_str());
        return;
    }
    FailInput("%s is not a complete configuration: it needs a Logs document with UpUserUrl, "
              "ReadUserUrl, UpSysUrl, MachineNum and DownSysPatchsUrl",
              arguments.Get("--config").c_str());
}

// The value of an option as a whole number that fits an int; false after saying why (a misuse).
inline bool ReadIntOption(const Arguments& arguments, const char* option, int& value) {
    const std::string& text = arguments.Get(option);
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || number < INT_MIN || number > INT_MAX) {
        FailInput("%s needs a whole number, not \"%s\"", option, text.c_str());
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

// Init with the configuration document of --config; false after saying why.
inline bool InitWithConfig(const Arguments& arguments) {
    std::string text;
    if (!ReadOptionFile(arguments, "--config", text)) return false;
    if (IWebInteractive::Init(text.c_str()) != 1) {
        FailConfiguration(arguments, text);
        return false;
    }
    return true;
}

}  // namespace cli
