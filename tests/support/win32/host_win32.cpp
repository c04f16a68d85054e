// The test is a Windows program under Wine, beside the Linux build machine. Wine starts Linux
// programs through CreateProcess, but gives no handle that can be waited on: each program is
// started by a small shell script that leaves its process id and its end as files, which the test
// reads. Paths go between the two sides through Wine's own conversion.
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "support/host.h"
#include "support/peers.h"
#include "support/temp_machine.h"

namespace wi::test {
namespace fs = std::filesystem;

namespace {

// A Linux path as a Windows program opens it: Wine's namespace of the whole Linux root.
std::string WindowsNameOfUnixPath(const std::string& unixPath) {
    std::string windows = "\\\\?\\unix" + unixPath;
    for (char& c : windows) {
        if (c == '/') c = '\\';
    }
    return windows;
}

// Text quoted for the shell: single quotes, with each single quote closed, escaped and reopened.
std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Starts "/bin/sh script" on the build machine, detached: Wine gives no waitable handle for it.
void StartShellScript(const std::string& script) {
    // Wine splits the command line by the Windows rules: no quotes are needed in a script's path
    // made by MakeTempDirectory.
    std::string commandLine = "\\\\?\\unix\\bin\\sh " + host::UnixPath(script);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        throw std::runtime_error("cannot start the build machine's /bin/sh for " + script);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

bool WaitForFile(const std::string& path, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!fs::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace

namespace host {

bool UnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

std::string UnixPath(const std::string& path) {
    using Convert = char*(CDECL*)(const WCHAR*);
    static const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert) throw std::runtime_error("the Linux side of a path is known only under Wine");
    std::wstring wide(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    char* unixName = convert(wide.c_str());
    if (!unixName) throw std::runtime_error("no Linux path for " + path);
    std::string result = unixName;
    HeapFree(GetProcessHeap(), 0, unixName);
    // Drive C: is the prefix's drive_c; its dosdevices link name holds a colon that some servers'
    // configuration files take badly.
    if (const char* prefix = std::getenv("WINEPREFIX")) {
        const std::string viaLink = std::string(prefix) + "/dosdevices/c:/";
        if (result.compare(0, viaLink.size(), viaLink) == 0) {
            result = std::string(prefix) + "/drive_c/" + result.substr(viaLink.size());
        }
    }
    return result;
}

bool RunsAsRoot() {
    static const bool root = RunShell("id -u") == "0\n";
    return root;
}

void ShareWithEveryone(const std::string& path, bool writable) {
    RunShell("chmod " + std::string(writable ? "a+rw" : "a+rX") + " " + ShellQuoted(UnixPath(path)));
}

ProcessGroup::ProcessGroup(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& outputFile) {
    controlFolder_ = MakeTempDirectory("wi-group");
    const std::string control = UnixPath(controlFolder_);
    std::string command = ShellQuoted(program);
    for (const auto& argument : arguments) command += " " + ShellQuoted(argument);
    // setsid gives the program's shell a process group of its own, so Stop reaches the program
    // and whatever it started.
    TempMachine::WriteHostFile(
        controlFolder_ + "/run.sh",
        "exec setsid /bin/sh -c " +
            ShellQuoted("echo $$ > " + control + "/pid.tmp && mv " + control + "/pid.tmp " +
                        control + "/pid; " + command + " > " + ShellQuoted(UnixPath(outputFile)) +
                        " 2>&1; echo $? > " + control + "/exited") +
            " </dev/null\n");
    StartShellScript(controlFolder_ + "/run.sh");
    if (!WaitForFile(controlFolder_ + "/pid", std::chrono::seconds(10))) {
        throw std::runtime_error("the build machine did not start " + program);
    }
    group_ = std::atoi(TempMachine::ReadHostFile(controlFolder_ + "/pid").c_str());
}

ProcessGroup::~ProcessGroup() {
    Stop();
    RemoveHostTree(controlFolder_);
}

bool ProcessGroup::Exited() { return group_ <= 0 || fs::exists(controlFolder_ + "/exited"); }

void ProcessGroup::Stop() {
    if (group_ <= 0) return;
    const std::string group = std::to_string(group_);
    RunShell("kill -TERM -" + group + " 2>/dev/null; for i in $(seq 500); do kill -0 -" + group +
             " 2>/dev/null || exit 0; sleep 0.01; done; kill -KILL -" + group +
             " 2>/dev/null; true");
    group_ = -1;
}

}  // namespace host

std::string FindProgram(const std::string& program) {
    // A path (a program of this build) is taken as it is.
    if (program.find('/') != std::string::npos &&
        fs::exists(WindowsNameOfUnixPath(program))) {
        return program;
    }
    for (const char* folder : {"/usr/sbin/", "/usr/bin/", "/sbin/", "/bin/", "/usr/local/sbin/",
                               "/usr/local/bin/"}) {
        const std::string path = folder + program;
        if (fs::exists(WindowsNameOfUnixPath(path))) return path;
    }
    throw std::runtime_error(program + " is not installed on the build machine; the tests need it" +
                             " as a peer (see scripts/install-deps.sh)");
}

std::string RunShell(const std::string& commandLine) {
    const std::string folder = MakeTempDirectory("wi-shell");
    const std::string control = host::UnixPath(folder);
    TempMachine::WriteHostFile(folder + "/command.sh", commandLine + "\n");
    TempMachine::WriteHostFile(folder + "/run.sh",
                               "/bin/sh " + control + "/command.sh > " + control +
                                   "/output 2>&1 </dev/null; echo $? > " + control +
                                   "/status.tmp; mv " + control + "/status.tmp " + control +
                                   "/status\n");
    StartShellScript(folder + "/run.sh");
    const bool ended = WaitForFile(folder + "/status", std::chrono::seconds(120));
    const std::string output = TempMachine::ReadHostFile(folder + "/output");
    const std::string status = TempMachine::ReadHostFile(folder + "/status");
    RemoveHostTree(folder);
    if (!ended || std::atoi(status.c_str()) != 0) {
        throw std::runtime_error("command failed: " + commandLine + "\n" + output);
    }
    return output;
}

ProgramRun RunProgram(const std::vector<std::string>& argv, const std::string& outputFile,
                      const std::string& errorFile) {
    // A Windows program: its arguments quoted by the rules its C runtime reads them with.
    std::string commandLine;
    for (const auto& argument : argv) {
        if (!commandLine.empty()) commandLine += ' ';
        commandLine += '"';
        std::size_t backslashes = 0;
        for (char c : argument) {
            if (c == '\\') {
                ++backslashes;
                continue;
            }
            commandLine.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
            backslashes = 0;
            commandLine += c;
        }
        commandLine.append(backslashes * 2, '\\');
        commandLine += '"';
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    // Shared for writing too: under Wine a child the program started may close its copy of the
    // handle a moment after the program ends, and the next run's file must open all the same.
    const auto openOutput = [&inherit](const std::string& file) {
        const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        return file.empty() ? CreateFileA("NUL", GENERIC_WRITE, share, &inherit, OPEN_EXISTING, 0,
                                          nullptr)
                            : CreateFileA(file.c_str(), GENERIC_WRITE, share, &inherit,
                                          CREATE_ALWAYS, 0, nullptr);
    };
    HANDLE input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING, 0,
                               nullptr);
    HANDLE output = openOutput(outputFile);
    HANDLE error = openOutput(errorFile);
    const auto closeStreams = [&] {
        for (HANDLE handle : {input, output, error}) {
            if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
        }
    };
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = error;
    if (output == INVALID_HANDLE_VALUE || error == INVALID_HANDLE_VALUE) {
        const DWORD failure = GetLastError();
        closeStreams();
        throw std::runtime_error("cannot open the output files of " + argv.at(0) + " (error " +
                                 std::to_string(failure) + ")");
    }
    PROCESS_INFORMATION process{};
    ProgramRun run;
    const auto started = std::chrono::steady_clock::now();
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        const DWORD failure = GetLastError();
        closeStreams();
        throw std::runtime_error("cannot start " + argv.at(0) + " (error " +
                                 std::to_string(failure) + ")");
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    run.exitCode = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    closeStreams();
    return run;
}

std::string MakeTempDirectory(const std::string& stem) {
    static long counter = 0;
    char temp[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length > MAX_PATH) throw std::runtime_error("no temporary folder");
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string path = std::string(temp) + stem + "-" +
                                 std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(InterlockedIncrement(&counter));
        if (CreateDirectoryA(path.c_str(), nullptr)) return path;
    }
    throw std::runtime_error("cannot make a temporary directory for " + stem);
}

}  // namespace wi::test
