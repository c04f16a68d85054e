// What the end-to-end tests share: the host CLI of this build run as a child process on a test
// machine, the configuration document that names a running service's addresses, and the demo
// data a service starts with.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "service_peer/service_peer.h"
#include "support/fixture_file.h"
#include "support/narrow_literal.h"
#include "support/peers.h"
#include "support/temp_machine.h"

namespace wi::test {

// The GUIDs of the demo softwares in fixtures/softwares.xml.
constexpr const char* kCiba = "{E2E-0001}";
constexpr const char* kRising = "{E2E-0002}";

// How one run of the CLI ended.
struct CliRun {
    int exit = -1;
    std::string out;  // standard output
    std::string err;  // standard error
    bool Printed(const std::string& text) const { return out.find(text) != std::string::npos; }
};

// Runs `webinteractive <arguments>` on the test's machine (with `--prefix <its prefix>` where it
// is an emulated one) and waits for it.
inline CliRun RunCli(const TempMachine& machine, const std::vector<std::string>& arguments) {
    const std::string out = machine.Root() + "/cli.out";
    const std::string err = machine.Root() + "/cli.err";
    std::vector<std::string> argv{WI_CLI};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    if (!machine.Prefix().empty()) {
        argv.push_back("--prefix");
        argv.push_back(machine.Prefix());
    }
    CliRun run;
    run.exit = RunProgram(argv, out, err).exitCode;
    // Lines as a Windows program ends them on its standard streams ("\r\n") read as lines.
    const auto lines = [](std::string text) {
        for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
            text.erase(at, 1);
        }
        return text;
    };
    run.out = lines(TempMachine::ReadHostFile(out));
    run.err = lines(TempMachine::ReadHostFile(err));
    return run;
}

// A configuration document for Init and CLogInc::SetParam naming the addresses of the service
// at `base` ("http://127.0.0.1:<port>").
inline std::string ServiceConfig(const std::string& base, const std::string& machineNum) {
    const auto element = [](const std::string& name, const std::string& text) {
        return "<" + name + ">" + text + "</" + name + ">";
    };
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Logs>" +
           element("UpUserUrl", base + "/upload/user") +
           element("ReadUserUrl", base + "/userinfo") +
           element("UpSysUrl", base + "/upload/sysinfo") + element("MachineNum", machineNum) +
           element("DownSysPatchsUrl", base + "/patch") + element("SysId", "e2e") +
           element("CaseId", "case-1") + element("Creator", Narrow("测试员")) +
           element("Servlet", base + "/upload/log") + "</Logs>\n";
}

// Bytes of a real file of this size, different for each seed.
inline std::string FileBytes(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    unsigned state = seed * 2654435761u + 1;
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    return bytes;
}

// Writes a file of the machine, making its folders first.
inline void PutFile(const TempMachine& machine, const std::string& windowsPath,
                    const std::string& content) {
    // The folders through the machine's own calls, which take names in the narrow code page.
    for (std::size_t slash = windowsPath.find('\\', 3); slash != std::string::npos;
         slash = windowsPath.find('\\', slash + 1)) {
        wi::platform::CreateDirectory(windowsPath.substr(0, slash));
    }
    TempMachine::WriteHostFile(machine.HostPath(windowsPath), content);
}

inline std::string ReadFile(const TempMachine& machine, const std::string& windowsPath) {
    return TempMachine::ReadHostFile(machine.HostPath(windowsPath));
}

// Writes a host file beside the machine's prefix (a document for the CLI); returns its path.
inline std::string HostFile(const TempMachine& machine, const std::string& name,
                            const std::string& content) {
    const std::string path = machine.Root() + "/" + name;
    TempMachine::WriteHostFile(path, content);
    return path;
}

// The demo data set: the softwares' file lists, their patch list and the files to download.
inline void AddDemoData(const ServicePeer& service) {
    service.AddFile(std::string("filelists/") + kCiba + ".xml", Fixture("softwares.xml"));
    service.AddFile(std::string("patchlists/") + kCiba + ".xml", Fixture("patchlist.xml"));
    service.AddFile("files/patches/KB-2001", FileBytes(300 * 1024, 1));
    service.AddFile("files/setup/ciba_setup.exe", FileBytes(2 * 1024 * 1024 + 17, 2));
    service.AddFile(std::string("files/softfiles/") + kCiba + "/F01", FileBytes(4096, 3));
}

}  // namespace wi::test
