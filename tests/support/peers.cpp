#include "support/peers.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/host.h"
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

// Servers running as root drop to this user; they must be able to read their directory.
std::string UnprivilegedUserLines(const char* userWord, const char* groupWord) {
    if (!host::RunsAsRoot()) {
        return "";
    }
    return std::string(userWord) + " nobody\n" + groupWord + " nogroup";
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The ports on which processes of the group listen on 127.0.0.1, as the build machine's kernel
// tells them: the sockets the group's processes hold, looked up among the listening ones.
std::vector<int> ListeningPorts(int processGroup) {
    const std::string script =
        "g=" + std::to_string(processGroup) +
        "\n"
        "for d in /proc/[0-9]*; do\n"
        "  { read -r s < \"$d/stat\"; } 2>/dev/null || continue\n"
        "  set -- ${s##*) }\n"  // the fields after the command name: state, parent, group
        "  [ \"$3\" = \"$g\" ] && ls -l \"$d/fd\" 2>/dev/null\n"
        "done | sed -n 's/.*socket:\\[\\([0-9]*\\)\\].*/\\1/p' > \"${TMPDIR:-/tmp}/wi-inodes.$$\"\n"
        "awk 'NR == FNR { held[$1] = 1; next }"
        " $4 == \"0A\" && ($10 in held) && $2 ~ /^0100007F:/ { print substr($2, 10) }'"
        " \"${TMPDIR:-/tmp}/wi-inodes.$$\" /proc/net/tcp |"
        " while read -r hex; do printf '%d\\n' \"0x$hex\"; done\n"
        "rm -f \"${TMPDIR:-/tmp}/wi-inodes.$$\"\n";
    std::vector<int> ports;
    for (const std::string& line : SplitLines(RunShell(script))) ports.push_back(std::stoi(line));
    return ports;
}

}  // namespace

// ---- the requests a peer logged ----

std::vector<std::string> SettledLog::Starting(const std::string& start) const {
    std::vector<std::string> found;
    for (const std::string& line : lines_) {
        if (line.compare(0, start.size(), start) == 0) found.push_back(line);
    }
    return found;
}

int SettledLog::CountContaining(const std::string& text) const {
    return static_cast<int>(std::count_if(lines_.begin(), lines_.end(), [&](const auto& line) {
        return line.find(text) != std::string::npos;
    }));
}

std::string SettledLog::Text() const {
    std::string text;
    for (const std::string& line : lines_) text += line + "\n";
    return text;
}

// ---- certificates ----

TestCertificates::TestCertificates(const std::string& directory)
    : caFile_(directory + "/ca.pem"),
      certificateFile_(directory + "/server.pem"),
      keyFile_(directory + "/server.key") {
    FindProgram("openssl");
    fs::create_directories(directory);
    const std::string key = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
    const std::string unixDirectory = host::UnixPath(directory);
    RunShell("cd '" + unixDirectory + "' && openssl req -x509 " + key +
             " -keyout ca.key -out ca.pem -days 2 -subj /CN=webinteractive-test-ca"
             " -addext basicConstraints=critical,CA:TRUE -addext keyUsage=keyCertSign,cRLSign");
    WriteFile(directory + "/server.ext",
              "subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\n"
              "extendedKeyUsage=serverAuth\n");
    RunShell("cd '" + unixDirectory + "' && openssl req " + key +
             " -keyout server.key -out server.csr -subj /CN=127.0.0.1 && openssl x509 -req"
             " -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out server.pem -days 2"
             " -extfile server.ext");
}

// ---- one server process ----

PeerProcess::PeerProcess(const std::string& name, const std::string& program)
    : name_(name), program_(FindProgram(program)) {
    directory_ = MakeTempDirectory("wi-" + name);
    unixDirectory_ = host::UnixPath(directory_);
    host::ShareWithEveryone(directory_, false);
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

std::string PeerProcess::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string PeerProcess::AccessLog() const { return ReadFile(directory_ + "/access.log"); }

std::string PeerProcess::RequestLogText() const { return AccessLog(); }

void PeerProcess::SendSentinel(const std::string& marker) const {
    // Any answer will do (most often 404): only the line in the log counts.
    RunShell("curl -sk -o /dev/null --max-time 20 --noproxy '*' " + ShellQuoted(Url("/" + marker)));
}

SettledLog PeerProcess::Requests() const {
    static std::atomic<int> sentinels{0};
    const std::string marker = "wi-sentinel-" + std::to_string(++sentinels);
    SendSentinel(marker);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (true) {
        std::vector<std::string> lines;
        for (const std::string& line : SplitLines(RequestLogText())) {
            if (line.find(marker) != std::string::npos) return SettledLog(std::move(lines));
            if (line.find("wi-sentinel-") == std::string::npos) lines.push_back(line);
        }
        if (std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error(name_ + " did not log the test's request /" + marker +
                                     " within 30 seconds\n" + Logs());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
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
    const std::string name = templateName.substr(0, templateName.size() - 3);  // without ".in"
    WriteFile(directory_ + "/" + name, text);
    return unixDirectory_ + "/" + name;
}

void PeerProcess::Launch(const std::function<std::vector<std::string>(int port)>& arguments,
                         bool anyPort) {
    // A port picked free can be taken by another process before the server binds it: the server
    // then fails to start, and is started again on another port. A server listening is found
    // among the sockets of its own processes, so that a stranger on the port is never taken for
    // it.
    for (int attempt = 1;; ++attempt) {
        const int wanted = anyPort ? 0 : host::FreePort();
        process_ = std::make_unique<host::ProcessGroup>(program_, arguments(wanted),
                                                        directory_ + "/" + name_ + ".out");
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (true) {
            const std::vector<int> ports = ListeningPorts(process_->id());
            if (anyPort && ports.size() == 1) {
                port_ = ports.front();
                return;
            }
            if (!anyPort && std::find(ports.begin(), ports.end(), wanted) != ports.end()) {
                port_ = wanted;
                return;
            }
            const bool exited = process_->Exited();
            if (exited && !anyPort && attempt < 5) break;  // most likely the port was taken
            if (exited || std::chrono::steady_clock::now() > deadline) {
                Stop();
                throw std::runtime_error(name_ + " did not start" +
                                         (anyPort ? "" : " on port " + std::to_string(wanted)) +
                                         (exited ? " (it exited)" : " (timed out)") + "\n" +
                                         Logs());
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
}

void PeerProcess::Stop() { process_.reset(); }

// ---- nginx ----

NginxPeer::NginxPeer(bool tls) : PeerProcess("nginx", "nginx"), tls_(tls) {
    for (const char* folder : {"/www", "/uploads", "/tmp"}) {
        fs::create_directories(directory_ + folder);
    }
    std::string sslLines;
    if (tls_) {
        const TestCertificates certificates(directory_ + "/tls");
        sslLines = "ssl_certificate " + host::UnixPath(certificates.CertificateFile()) +
                   ";\n        ssl_certificate_key " + host::UnixPath(certificates.KeyFile()) + ";";
    }
    FindProgram("openssl");
    WriteFile(directory_ + "/htpasswd",
              std::string(kBasicUser) + ":" +
                  RunShell(std::string("openssl passwd -apr1 '") + kBasicPassword + "'"));
    Launch([this, sslLines](int port) {
        const std::string config =
            WriteConfig("nginx.conf.in", {{"DIR", unixDirectory_},
                                          {"PORT", std::to_string(port)},
                                          {"USER_LINE", host::RunsAsRoot() ? "user root;" : ""},
                                          {"LISTEN_SSL", tls_ ? "ssl" : ""},
                                          {"SSL_LINES", sslLines},
                                          {"SCHEME", tls_ ? "https" : "http"},
                                          {"LONG_REPLY", std::string(2000, 'L')}});
        return std::vector<std::string>{"-p", unixDirectory_ + "/", "-c", config, "-e",
                                        unixDirectory_ + "/error.log"};
    });
}

std::string NginxPeer::Url(const std::string& path) const {
    return std::string(tls_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) + path;
}

void NginxPeer::AddFile(const std::string& relativePath, const std::string& content) const {
    WriteFile(Root() + "/" + relativePath, content);
}

std::vector<std::string> NginxPeer::ReceivedBodies() const {
    Requests();  // every request sent before is answered, its body kept
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

std::vector<std::string> NginxPeer::RequestLines() const {
    const SettledLog requests = Requests();
    std::vector<std::string> lines;
    for (const std::string& line : requests.Lines()) {
        lines.push_back(line.substr(0, line.find(" ctype=")));
    }
    return lines;
}

// ---- tinyproxy ----

TinyproxyPeer::TinyproxyPeer(Options options) : PeerProcess("tinyproxy", "tinyproxy") {
    // The proxy writes its log after dropping to an unprivileged user.
    WriteFile(directory_ + "/tinyproxy.log", "");
    host::ShareWithEveryone(directory_ + "/tinyproxy.log", true);
    const std::string auth =
        options.user.empty() ? "" : "BasicAuth " + options.user + " " + options.password;
    Launch([this, auth](int port) {
        const std::string config = WriteConfig(
            "tinyproxy.conf.in", {{"DIR", unixDirectory_},
                                  {"PORT", std::to_string(port)},
                                  {"USER_LINES", UnprivilegedUserLines("User", "Group")},
                                  {"AUTH_LINE", auth}});
        return std::vector<std::string>{"-d", "-c", config};
    });
}

std::string TinyproxyPeer::Log() const { return ReadFile(directory_ + "/tinyproxy.log"); }

void TinyproxyPeer::SendSentinel(const std::string& marker) const {
    // The proxy logs the request as it arrives, before it finds that nothing listens on port 9
    // (or asks for credentials).
    RunShell("curl -s -o /dev/null --max-time 20 -x http://127.0.0.1:" + std::to_string(port_) +
             " http://127.0.0.1:9/" + marker);
}

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
    Launch([this, realm](int port) {
        const std::string config = WriteConfig(
            "apache2.conf.in", {{"DIR", unixDirectory_},
                                {"PORT", std::to_string(port)},
                                {"REALM", realm},
                                {"USER_LINES", UnprivilegedUserLines("User", "Group")}});
        return std::vector<std::string>{"-f", config, "-DFOREGROUND"};
    });
}

}  // namespace wi::test
