#include "support/peers.h"

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

}  // namespace

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
    : name_(name), program_(FindProgram(program)), port_(host::FreePort()) {
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
    const std::string name = templateName.substr(0, templateName.size() - 3);  // without ".in"
    WriteFile(directory_ + "/" + name, text);
    return unixDirectory_ + "/" + name;
}

void PeerProcess::Launch(const std::vector<std::string>& arguments) {
    process_ = std::make_unique<host::ProcessGroup>(program_, arguments,
                                                    directory_ + "/" + name_ + ".out");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!host::Accepts(port_)) {
        const bool exited = process_->Exited();
        if (exited || std::chrono::steady_clock::now() > deadline) {
            Stop();
            throw std::runtime_error(name_ + " did not start on port " + std::to_string(port_) +
                                     (exited ? " (it exited)" : " (timed out)") + "\n" + Logs());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
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
    const std::string config =
        WriteConfig("nginx.conf.in", {{"DIR", unixDirectory_},
                                      {"PORT", std::to_string(port_)},
                                      {"USER_LINE", host::RunsAsRoot() ? "user root;" : ""},
                                      {"LISTEN_SSL", tls_ ? "ssl" : ""},
                                      {"SSL_LINES", sslLines},
                                      {"SCHEME", tls_ ? "https" : "http"},
                                      {"LONG_REPLY", std::string(2000, 'L')}});
    Launch({"-p", unixDirectory_ + "/", "-c", config, "-e", unixDirectory_ + "/error.log"});
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
    host::ShareWithEveryone(directory_ + "/tinyproxy.log", true);
    const std::string auth =
        options.user.empty() ? "" : "BasicAuth " + options.user + " " + options.password;
    const std::string config =
        WriteConfig("tinyproxy.conf.in", {{"DIR", unixDirectory_},
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
        "apache2.conf.in", {{"DIR", unixDirectory_},
                            {"PORT", std::to_string(port_)},
                            {"REALM", realm},
                            {"USER_LINES", UnprivilegedUserLines("User", "Group")}});
    Launch({"-f", config, "-DFOREGROUND"});
}

std::string ApacheDigestPeer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

}  // namespace wi::test
