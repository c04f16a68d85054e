#include "support/child_processes.h"

#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace wi::test {

bool RunInChildProcesses(int count, const std::function<bool(int index)>& work,
                         const std::function<void()>& whileRunning) {
    // The children block on reading the gate until the parent closes its end.
    int gate[2];
    if (pipe(gate) != 0) return false;
    std::vector<pid_t> children;
    for (int index = 0; index < count; ++index) {
        const pid_t child = fork();
        if (child == 0) {
            close(gate[1]);
            char byte;
            while (read(gate[0], &byte, 1) > 0) {
            }
            bool ok = false;
            try {
                ok = work(index);
            } catch (...) {
            }
            _exit(ok ? 0 : 1);
        }
        if (child > 0) children.push_back(child);
    }
    close(gate[0]);
    close(gate[1]);
    bool ok = static_cast<int>(children.size()) == count;
    std::size_t running = children.size();
    while (running > 0) {
        for (pid_t& child : children) {
            if (child < 0) continue;
            int status = 0;
            const pid_t ended = waitpid(child, &status, whileRunning ? WNOHANG : 0);
            if (ended == 0 || (ended < 0 && errno == EINTR)) continue;
            ok = ok && ended == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
            child = -1;
            --running;
        }
        if (running > 0 && whileRunning) whileRunning();
    }
    return ok;
}

}  // namespace wi::test
