#include "support/run_cmd.h"

#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "platform/machine.h"

extern char** environ;

namespace wi::test {

CmdResult RunCmd(const std::string& commandText) {
    CmdResult result;
    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        std::string variable = *entry;
        if (variable.rfind("WEBINTERACTIVE_PREFIX=", 0) != 0) variables.push_back(variable);
    }
    variables.push_back("WEBINTERACTIVE_PREFIX=" + platform::MachinePrefix());
    std::vector<char*> envp;
    for (std::string& variable : variables) envp.push_back(&variable[0]);
    envp.push_back(nullptr);
    std::string program = WI_TEST_CMD, text = commandText;
    char* argv[] = {&program[0], &text[0], nullptr};

    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    pid_t child = 0;
    int rc = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    char buffer[4096];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        result.errorOutput.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeEnds[0]);
    if (rc != 0) return result;
    int status = 0;
    if (waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    return result;
}

}  // namespace wi::test
