// The test runs on the build machine itself: its programs are started with fork and exec, and
// they name the test's files as the test does.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "support/host.h"
#include "support/peers.h"

namespace wi::test {
namespace fs = std::filesystem;

namespace host {

bool UnderWine() { return false; }

std::string UnixPath(const std::string& path) { return path; }

bool RunsAsRoot() { return geteuid() == 0; }

void ShareWithEveryone(const std::string& path, bool writable) {
    chmod(path.c_str(), fs::is_directory(path) ? 0755 : (writable ? 0666 : 0644));
}

ProcessGroup::ProcessGroup(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& outputFile) {
    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("cannot start " + program);
    if (child == 0) {
        setpgid(0, 0);
        const int log = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(log, 1);
        dup2(log, 2);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    setpgid(child, child);
    group_ = child;
}

ProcessGroup::~ProcessGroup() { Stop(); }

bool ProcessGroup::Exited() {
    if (group_ <= 0) return true;
    int status = 0;
    if (waitpid(group_, &status, WNOHANG) != group_) return false;
    kill(-group_, SIGKILL);  // what it left behind
    group_ = -1;
    return true;
}

void ProcessGroup::Stop() {
    if (group_ <= 0) return;
    kill(-group_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (waitpid(group_, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(-group_, SIGKILL);
            waitpid(group_, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(-group_, SIGKILL);  // children that outlived their parent
    group_ = -1;
}

}  // namespace host

std::string FindProgram(const std::string& program) {
    // A path (a program of this build) is taken as it is.
    if (program.find('/') != std::string::npos && access(program.c_str(), X_OK) == 0) {
        return program;
    }
    for (const char* folder : {"/usr/sbin/", "/usr/bin/", "/sbin/", "/bin/", "/usr/local/sbin/",
                               "/usr/local/bin/"}) {
        const std::string path = folder + program;
        if (access(path.c_str(), X_OK) == 0) {
            return path;
        }
    }
    throw std::runtime_error(program + " is not installed on this machine; the transfer tests " +
                             "need it as a peer (see scripts/install-deps.sh)");
}

std::string RunShell(const std::string& commandLine) {
    const std::string full = "(" + commandLine + ") 2>&1";
    FILE* pipe = popen(full.c_str(), "r");
    if (pipe == nullptr) {
        throw std::runtime_error("cannot run: " + commandLine);
    }
    std::string output;
    std::array<char, 4096> buffer;
    while (const std::size_t read = fread(buffer.data(), 1, buffer.size(), pipe)) {
        output.append(buffer.data(), read);
    }
    if (pclose(pipe) != 0) {
        throw std::runtime_error("command failed: " + commandLine + "\n" + output);
    }
    return output;
}

ProgramRun RunProgram(const std::vector<std::string>& argv, const std::string& outputFile,
                      const std::string& errorFile) {
    std::vector<char*> arguments;
    for (const auto& argument : argv) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    ProgramRun run;
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("cannot start " + argv.at(0));
    }
    if (child == 0) {
        const auto openOutput = [](const std::string& file) {
            return file.empty() ? open("/dev/null", O_WRONLY)
                                : open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        };
        dup2(open("/dev/null", O_RDONLY), 0);
        dup2(openOutput(outputFile), 1);
        dup2(openOutput(errorFile), 2);
        execv(arguments[0], arguments.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakMemoryKib = usage.ru_maxrss;
    const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
    run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    return run;
}

std::string MakeTempDirectory(const std::string& stem) {
    std::string pattern = (fs::temp_directory_path() / (stem + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary directory for " + stem);
    }
    return pattern;
}

}  // namespace wi::test
