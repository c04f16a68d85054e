// The build machine beside a test: the programs a test starts there (peer servers, shell
// commands), the names those programs give the test's files, and ports on 127.0.0.1. On Linux
// the test runs on that machine itself; under Wine the test is a Windows program that starts
// them as Linux programs.
#pragma once

#include <string>
#include <vector>

namespace wi::test::host {

// Whether the test program runs under Wine, whose Windows differs from the real one in a few
// places (a proxy's request target and its 407 to a tunnel in WinHTTP, attributes of directories,
// links): tests that need them skip there, naming the difference.
bool UnderWine();

// The path by which a program of the build machine reaches this file or folder of the test.
std::string UnixPath(const std::string& path);
// Whether the build machine's programs run as root (servers then drop to an unprivileged user).
bool RunsAsRoot();
// Makes a file or folder of the test readable (and a file writable too, when asked) by every user
// of the build machine: for servers that drop to an unprivileged user.
void ShareWithEveryone(const std::string& path, bool writable);

// A free port on 127.0.0.1 (taken and let go: another process may take it before the caller).
int FreePort();

// A program of the build machine started in a process group of its own, with its standard output
// and error going to outputFile (a path of the test). Stopped (the whole group) when it goes.
class ProcessGroup {
public:
    ProcessGroup(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& outputFile);
    ~ProcessGroup();
    ProcessGroup(const ProcessGroup&) = delete;
    ProcessGroup& operator=(const ProcessGroup&) = delete;

    // The group's number on the build machine (-1 once stopped).
    int id() const { return group_; }
    // The program has ended by itself.
    bool Exited();
    // Ends the group: a polite signal, then after five seconds a forceful one.
    void Stop();

private:
    int group_ = -1;
    std::string controlFolder_;  // under Wine: where the launcher leaves its pid and exit marks
};

}  // namespace wi::test::host
