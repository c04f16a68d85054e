// Runs the cmd program of this build, the way the library starts it but with its exit status
// and standard error kept for the test.
#pragma once

#include <string>

namespace wi::test {

struct CmdResult {
    int exitCode = -1;        // -1 when it could not be run or did not exit normally
    std::string errorOutput;  // what it wrote to standard error
};

// Runs cmd with the command text as its one argument, on the machine prefix in use.
CmdResult RunCmd(const std::string& commandText);

}  // namespace wi::test
