#include "support/peers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/temp_machine.h"

namespace wi::test {
namespace fs = std::filesystem;
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& content) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + path);
    }
}

int FreePort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (probe < 0 || bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (probe >= 0) close(probe);
        throw std::runtime_error("no free port on 127.0.0.1");
    }
    close(probe);
    return ntohs(address.sin_port);
}

bool Accepts(int port) {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(probe);
    return ok;
}


// Servers running as root drop to this user; they must be able to read their directory.
std::string UnprivilegedUserLines(const char* userWord, const char* groupWord) {
    if (geteuid() != 0) {
        return "";
    }
    return std::string(userWord) + " nobody\n" + groupWord + " nogroup";
}

}  // namespace

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

ProgramRun RunProgram(const std::vector<std::string>& argv) {
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
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execv(arguments[0], arguments.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakMemoryKib = usage.ru_maxrss;
    return run;
}

std::string MakeTempDirectory(const std::string& stem) {
    std::string pattern = (fs::temp_directory_path() / (stem + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary directory for " + stem);
    }
    return pattern;
}

// ---- certificates ----

TestCertificates::TestCertificates(const std::string& directory)
    : caFile_(directory + "/ca.pem"),
      certificateFile_(directory + "/server.pem"),
      keyFile_(directory + "/server.key") {
    FindProgram("openssl");
    fs::create_directories(directory);
    const std::string key = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
    RunShell("cd '" + directory + "' && openssl req -x509 " + key +
             " -keyout ca.key -out ca.pem -days 2 -subj /CN=webinteractive-test-ca"
             " -addext basicConstraints=critical,CA:TRUE -addext keyUsage=keyCertSign,cRLSign");
    WriteFile(directory + "/server.ext",
              "subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\n"
              "extendedKeyUsage=serverAuth\n");
    RunShell("cd '" + directory + "' && openssl req " + key +
             " -keyout server.key -out server.csr -subj /CN=127.0.0.1 && openssl x509 -req"
             " -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out server.pem -days 2"
             " -extfile server.ext");
}

// ---- one server process ----

PeerProcess::PeerProcess(const std::string& name, const std::string& program)
    : name_(name), program_(FindProgram(program)), port_(FreePort()) {
    directory_ = MakeTempDirectory("wi-" + name);
    chmod(directory_.c_str(), 0755);
}

PeerProcess::~PeerProcess() {
    Stop();
    RemoveHostTree(directory_);
}

std::string PeerProcess::Logs() const {
    std::string logs;
    for (const auto& entry : fs::directory_iterator(directory_)) {
        const std::string extension = entry.path().extension().string();
        if (extension == ".log" || extension == ".out") {
            logs += "---- " + entry.path().string() + "\n" + ReadFile(entry.path().string());
        }
    }
    return logs;
}

std::string PeerProcess::AccessLog() const { return ReadFile(directory_ + "/access.log"); }

bool PeerProcess::AccessLogHas(const std::string& text) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (AccessLog().find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::string PeerProcess::WriteConfig(
    const std::string& templateName,
    const std::vector<std::pair<std::string, std::string>>& values) const {
    std::string text = ReadFile(std::string(WI_TEST_PEERS_DIR) + "/" + templateName);
    if (text.empty()) {
        throw std::runtime_error("missing peer configuration template " + templateName);
    }
    for (const auto& [key, value] : values) {
        const std::string marker = "@" + key + "@";
        for (std::size_t at = text.find(marker); at != std::string::npos;
             at = text.find(marker, at + value.size())) {
            text.replace(at, marker.size(), value);
        }
    }
    std::string path = directory_ + "/" + templateName;
    path.erase(path.size() - 3);  // ".in"
    WriteFile(path, text);
    return path;
}

void PeerProcess::Launch(const std::vector<std::string>& arguments) {
    const std::string output = directory_ + "/" + name_ + ".out";
    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("cannot start " + name_);
    }
    if (child == 0) {
        setpgid(0, 0);
        const int log = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(log, 1);
        dup2(log, 2);
        std::vector<char*> argv{const_cast<char*>(program_.c_str())};
        for (const auto& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv(program_.c_str(), argv.data());
        _exit(127);
    }
    setpgid(child, child);
    group_ = child;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!Accepts(port_)) {
        int status = 0;
        const bool exited = waitpid(child, &status, WNOHANG) == child;
        if (exited || std::chrono::steady_clock::now() > deadline) {
            if (exited) {
                group_ = -1;
            }
            const std::string logs = Logs();
            Stop();
            throw std::runtime_error(name_ + " did not start on port " + std::to_string(port_) +
                                     (exited ? " (it exited)" : " (timed out)") + "\n" + logs);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void PeerProcess::Stop() {
    if (group_ <= 0) {
        return;
    }
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

// ---- nginx ----

NginxPeer::NginxPeer(bool tls) : PeerProcess("nginx", "nginx"), tls_(tls) {
    for (const char* folder : {"/www", "/uploads", "/tmp"}) {
        fs::create_directories(directory_ + folder);
    }
    std::string sslLines;
    if (tls_) {
        const TestCertificates certificates(directory_ + "/tls");
        sslLines = "ssl_certificate " + certificates.CertificateFile() +
                   ";\n        ssl_certificate_key " + certificates.KeyFile() + ";";
    }
    FindProgram("openssl");
    WriteFile(directory_ + "/htpasswd",
              std::string(kBasicUser) + ":" +
                  RunShell(std::string("openssl passwd -apr1 '") + kBasicPassword + "'"));
    const std::string config =
        WriteConfig("nginx.conf.in", {{"DIR", directory_},
                                      {"PORT", std::to_string(port_)},
                                      {"USER_LINE", geteuid() == 0 ? "user root;" : ""},
                                      {"LISTEN_SSL", tls_ ? "ssl" : ""},
                                      {"SSL_LINES", sslLines},
                                      {"SCHEME", tls_ ? "https" : "http"},
                                      {"LONG_REPLY", std::string(2000, 'L')}});
    Launch({"-p", directory_ + "/", "-c", config, "-e", directory_ + "/error.log"});
}

std::string NginxPeer::Url(const std::string& path) const {
    return std::string(tls_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) + path;
}

void NginxPeer::AddFile(const std::string& relativePath, const std::string& content) const {
    WriteFile(Root() + "/" + relativePath, content);
}

std::vector<std::string> NginxPeer::ReceivedBodies() const {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(UploadsDirectory())) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());  // nginx numbers them in order
    std::vector<std::string> bodies;
    for (const auto& file : files) {
        bodies.push_back(ReadFile(file.string()));
    }
    return bodies;
}

// ---- tinyproxy ----

TinyproxyPeer::TinyproxyPeer(Options options) : PeerProcess("tinyproxy", "tinyproxy") {
    // The proxy writes its log after dropping to an unprivileged user.
    WriteFile(directory_ + "/tinyproxy.log", "");
    chmod((directory_ + "/tinyproxy.log").c_str(), 0666);
    const std::string auth =
        options.user.empty() ? "" : "BasicAuth " + options.user + " " + options.password;
    const std::string config =
        WriteConfig("tinyproxy.conf.in", {{"DIR", directory_},
                                          {"PORT", std::to_string(port_)},
                                          {"USER_LINES", UnprivilegedUserLines("User", "Group")},
                                          {"AUTH_LINE", auth}});
    Launch({"-d", "-c", config});
}

std::string TinyproxyPeer::Log() const { return ReadFile(directory_ + "/tinyproxy.log"); }

// ---- apache2 ----

ApacheDigestPeer::ApacheDigestPeer() : PeerProcess("apache2", "apache2") {
    const std::string realm = "webinteractive";
    fs::create_directories(directory_ + "/run");
    WriteFile(directory_ + "/www/digest/upload", "TRUE");
    FindProgram("openssl");
    const std::string hash = RunShell("printf '%s' '" + std::string(kDigestUser) + ":" + realm +
                                      ":" + kDigestPassword + "' | openssl md5 -r")
                                 .substr(0, 32);
    WriteFile(directory_ + "/htdigest", std::string(kDigestUser) + ":" + realm + ":" + hash + "\n");
    const std::string config = WriteConfig(
        "apache2.conf.in", {{"DIR", directory_},
                            {"PORT", std::to_string(port_)},
                            {"REALM", realm},
                            {"USER_LINES", UnprivilegedUserLines("User", "Group")}});
    Launch({"-f", config, "-DFOREGROUND"});
}

std::string ApacheDigestPeer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

}  // namespace wi::test
