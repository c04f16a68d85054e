// Real servers for transfer tests: nginx, tinyproxy and apache2, each started on 127.0.0.1 and a
// free port in a temporary directory with a configuration made from the templates in
// tests/peers/, and stopped (its whole process group) when the object goes. A start that fails
// throws std::runtime_error with the server's logs; a server missing from the machine throws too.
//
//   NginxPeer web(/*tls=*/true);
//   web.AddFile("a.bin", bytes);
//   SetTrustedCaFile(web.CaFile());
//   ... web.Url("/a.bin") ...
//   EXPECT_EQ(1, web.Requests().Count("GET /a.bin 200"));
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/host.h"

namespace wi::test {

// A certificate authority and a server certificate for 127.0.0.1 and localhost, made with the
// openssl program in a directory of their own.
class TestCertificates {
public:
    explicit TestCertificates(const std::string& directory);
    const std::string& CaFile() const { return caFile_; }
    const std::string& CertificateFile() const { return certificateFile_; }
    const std::string& KeyFile() const { return keyFile_; }

private:
    std::string caFile_;
    std::string certificateFile_;
    std::string keyFile_;
};

// The requests a peer logged up to a moment, one line each, the test's own sentinel requests left
// out.
class SettledLog {
public:
    explicit SettledLog(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    // The lines that begin with the text, in order.
    std::vector<std::string> Starting(const std::string& start) const;
    // How many lines begin with the text ("" counts every request).
    int Count(const std::string& start) const { return static_cast<int>(Starting(start).size()); }
    // How many lines hold the text anywhere.
    int CountContaining(const std::string& text) const;
    const std::vector<std::string>& Lines() const { return lines_; }
    // The lines as the log held them, for a failure message.
    std::string Text() const;

private:
    std::vector<std::string> lines_;
};

// One server process in its own directory and process group.
class PeerProcess {
public:
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by the path.
    virtual std::string Url(const std::string& path) const;
    // The server's process group on the build machine (-1 when it is not running).
    int ProcessGroupId() const { return process_ ? process_->id() : -1; }
    // The peer's own directory.
    const std::string& directory() const { return directory_; }
    // Every log file of the peer, one after another.
    std::string Logs() const;
    // The access log (nginx, apache2) as it is now, for failure messages: servers write a
    // request's line after its answer has gone out, so checks read Requests() instead.
    std::string AccessLog() const;
    // The requests the peer logged before this call. The test first sends a request of its own (a
    // sentinel) and waits until the peer has logged it: only then is every request that was
    // answered before the call in the log (nginx logs from its one worker in order; apache2 and
    // the service log from the thread that answered, right after the answer). Throws
    // std::runtime_error when the sentinel does not appear within 30 seconds.
    SettledLog Requests() const;

protected:
    // Makes the directory (readable for servers that drop to an unprivileged user); the program
    // must be installed on the build machine.
    PeerProcess(const std::string& name, const std::string& program);
    virtual ~PeerProcess();
    // Starts the program with the arguments made for a port (paths in them as host::UnixPath
    // gives them), its output going to a log in the directory, and waits until the server
    // listens. With anyPort, the server is given port 0, binds whatever port the system hands
    // out, and its port is the one its processes listen on. Otherwise a free port is picked; when
    // the server cannot have it (another process took it first), it is started again on another.
    void Launch(const std::function<std::vector<std::string>(int port)>& arguments,
                bool anyPort = false);
    // The text of the peer's request log: the access log unless the peer logs elsewhere.
    virtual std::string RequestLogText() const;
    // Sends one request whose log line holds the marker.
    virtual void SendSentinel(const std::string& marker) const;
    // Reads tests/peers/<name>, replaces every "@KEY@" and writes it into the directory; returns
    // the path the program reads it by.
    std::string WriteConfig(const std::string& templateName,
                            const std::vector<std::pair<std::string, std::string>>& values) const;

    std::string name_;
    std::string program_;
    std::string directory_;
    std::string unixDirectory_;  // the directory as the program names it
    int port_ = 0;

private:
    void Stop();
    std::unique_ptr<host::ProcessGroup> process_;
};

// nginx serving files from Root(): HEAD and GET, redirects "/redirect/X" -> "/X", uploads to
// "/upload" (answer "TRUE"; every body kept as a file in UploadsDirectory()), "/secure/..." the
// same behind Basic authentication (BasicUser / BasicPassword), "/long" answering 2000 bytes,
// "/stall" never answering, "/discard" reading and dropping a body. Its access log names each
// request's method, target, status and the headers an upload test looks at.
class NginxPeer : public PeerProcess {
public:
    static constexpr const char* kBasicUser = "alice";
    static constexpr const char* kBasicPassword = "wonder land";

    // Serves https with a certificate of its own authority (CaFile) when tls is true.
    explicit NginxPeer(bool tls = false);
    // "http(s)://127.0.0.1:<port>" followed by the path.
    std::string Url(const std::string& path) const override;
    std::string Root() const { return directory_ + "/www"; }
    std::string UploadsDirectory() const { return directory_ + "/uploads"; }
    // Only with tls: the authority that signed the server's certificate.
    std::string CaFile() const { return directory_ + "/tls/ca.pem"; }
    // Writes Root()/relativePath.
    void AddFile(const std::string& relativePath, const std::string& content) const;
    // The bodies received by /upload and /secure/, oldest first, once settled as Requests() is:
    // none sent before the call is missing.
    std::vector<std::string> ReceivedBodies() const;
    // Requests() as "METHOD TARGET STATUS", in the order nginx logged them.
    std::vector<std::string> RequestLines() const;

private:
    bool tls_;
};

// tinyproxy as an HTTP proxy (CONNECT too); with credentials it answers 407 until a request
// brings them as Basic. Its log holds a line "Request (file descriptor N): <request line>" for
// each request, written as the request arrives.
class TinyproxyPeer : public PeerProcess {
public:
    struct Options {
        std::string user;  // empty: no authentication
        std::string password;
    };
    explicit TinyproxyPeer(Options options = {});
    // The whole log as it is now, for failure messages.
    std::string Log() const;

protected:
    std::string RequestLogText() const override { return Log(); }
    void SendSentinel(const std::string& marker) const override;
};

// apache2 with mod_auth_digest: "/digest/upload" (a file holding "TRUE", answered for GET and
// POST) behind Digest authentication for DigestUser / DigestPassword. Its access log names each
// request's method, target, status, Content-Length and Authorization.
class ApacheDigestPeer : public PeerProcess {
public:
    static constexpr const char* kDigestUser = "bob";
    static constexpr const char* kDigestPassword = "builder";
    ApacheDigestPeer();
};

// The full path of a program installed on the build machine (a path given is kept when it is
// executable); throws std::runtime_error naming it when it is missing.
std::string FindProgram(const std::string& program);

// How a program run by RunProgram ended.
struct ProgramRun {
    int exitCode = -1;
    double seconds = 0;      // wall-clock time from start to end
    long peakMemoryKib = 0;  // the child's largest resident set
    double cpuSeconds = 0;   // the child's user and system time (posix; 0 elsewhere)
};
// Runs a program of the test's own platform (a path; under Wine a Windows program) with these
// arguments and no input, and waits for it. Its standard output and error go to these files, or
// are thrown away where no file is named.
ProgramRun RunProgram(const std::vector<std::string>& argv, const std::string& outputFile = "",
                      const std::string& errorFile = "");

// Runs a shell command line on the build machine; throws std::runtime_error with its output when
// it fails.
std::string RunShell(const std::string& commandLine);
// A new empty directory under the system's temporary folder, for the caller to remove
// (RemoveHostTree).
std::string MakeTempDirectory(const std::string& stem);

}  // namespace wi::test
