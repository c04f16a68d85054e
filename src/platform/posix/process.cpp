// Starting a program of the emulated machine: posix_spawn, never a shell. The whole command-line
// text is the program's one argument, as a Windows program receives its command line whole.
#include "platform/process.h"

#include <cerrno>
#include <clocale>
#include <cstring>
#include <fcntl.h>
#include <langinfo.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

#include "platform/errors.h"
#include "platform/machine.h"
#include "platform/posix/host_path.h"

extern char** environ;

namespace wi::platform {

namespace {

const char kPrefixVariable[] = "WEBINTERACTIVE_PREFIX";
// The locale whose codeset the command text is in; the cmd program reads it before its
// environment's own locale variables.
const char kCtypeVariable[] = "WEBINTERACTIVE_LC_CTYPE";

// The name of the calling thread's LC_CTYPE locale: the thread's own where it has one
// (uselocale), else the process's. Its codeset is the narrow code page the command text was
// written in, whatever the environment's locale variables say.
std::string ThreadCtypeLocale() {
#ifdef _NL_LOCALE_NAME
    const char* name = nl_langinfo(_NL_LOCALE_NAME(LC_CTYPE));
#else
    const char* name = std::setlocale(LC_CTYPE, nullptr);
#endif
    return name && *name ? name : "C";
}

bool IsVariable(const char* entry, const char* name) {
    const std::size_t length = std::strlen(name);
    return std::strncmp(entry, name, length) == 0 && entry[length] == '=';
}

// The environment of this process with the machine prefix in use, so that the program sees
// the same machine even when the prefix was set by a call rather than the environment, and the
// calling thread's locale, so that it reads the command text in the code page it was written in.
std::vector<std::string> ChildEnvironment() {
    std::vector<std::string> variables;
    for (char** entry = environ; entry && *entry; ++entry) {
        if (!IsVariable(*entry, kPrefixVariable) && !IsVariable(*entry, kCtypeVariable)) {
            variables.push_back(*entry);
        }
    }
    variables.push_back(std::string(kPrefixVariable) + "=" + MachinePrefix());
    variables.push_back(std::string(kCtypeVariable) + "=" + ThreadCtypeLocale());
    return variables;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(&text[0]);
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

bool RunHiddenAndWait(const std::string& program, const std::string& commandLine) {
    std::string host;
    if (!posix::ToHostPath(program, host)) return false;
    std::vector<std::string> arguments = {host, commandLine};
    std::vector<std::string> variables = ChildEnvironment();
    std::vector<char*> argv = Pointers(arguments);
    std::vector<char*> envp = Pointers(variables);

    // Standard input from /dev/null; standard output and error shared; nothing else inherited.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    // Default signal handling and an empty mask, whatever the host set up for itself.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigaddset(&signals, SIGPIPE);
    sigaddset(&signals, SIGCHLD);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t child = 0;
    int rc = posix_spawn(&child, host.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (rc != 0) {
        SetLastError(static_cast<std::uint32_t>(rc));
        return false;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

}  // namespace wi::platform
