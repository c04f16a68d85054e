// webinteractive-service: the reference service. A small HTTP server that answers every request
// and upload the webinteractive library makes, backed by a data directory.
//
//   webinteractive-service --data DIR [--listen 127.0.0.1] --port N [--max-body BYTES]
//                          [--rate BYTES_PER_SECOND] [--user NAME:PASSWORD [--auth digest|basic]]
//
// --port 0 takes a free port of the system's choosing; the first line printed names it.
//
// Addresses (configure the library's addresses with these paths):
//   POST /upload/softlist      software list           } body kept under DIR/uploads/<kind>/,
//   POST /upload/filelist      upload file list        } one file per upload, never overwritten;
//   POST /upload/installinfo   install info            } the answer is "TRUE"
//   POST /upload/sysinfo       system info (?machinenum=)
//   POST /upload/softfile      software file (?filename=A\B)
//   POST /upload/user          user information document
//   POST /upload/log           operation log
//   With --user, every POST /upload/ needs that user's credentials; without them it gets 401 and
//   a WWW-Authenticate challenge: Digest (the default: realm "webinteractive-service", a fresh
//   random nonce, qop="auth", MD5; a nonce is good for 5 minutes and each nonce count once) or
//   Basic (realm only). The library answers Digest over http and Basic only over https.
//   GET  /softlist             software ID list: every software of the uploaded software lists
//   GET  /filelist?guid=G&...  file list of G: DIR/filelists/G.xml, else the newest uploaded
//                              file list naming G (404 when none)
//   GET  /certain?guid=G&version=N   latest-version list: the file list of G (as above) with
//                              one "Version": N <= 0 (the library's -1) the newest by its
//                              "Version" text ("1.9" < "1.10" < "2.0"); N > 0 the one whose
//                              "version_info" is N, else the newest whose "version_major" is N;
//                              a version without "patchs" gets those of the same "Version" in
//                              DIR/patchlists/G.xml (404 when none matches)
//   GET  /patchlist?guid=G     patch list of G: DIR/patchlists/G.xml as placed, else made from
//                              the versions of G (with their "patchs") in the file lists and
//                              uploaded install infos (404 when none names G)
//   GET  /install?filename=N   install file locator: the address of DIR/files/N
//   GET  /size?filename=N      size probe locator: the same
//   GET  /patch?patchid=P      patch locator: the address of DIR/files/patches/P
//   GET  /softfile?guid=G&soft_code=S&file_code=F&file_type=T   DIR/files/softfiles/G/F itself
//   GET  /removefileinfo?GUID=&Version=&CharacterCode=   recorded in DIR/removed.log; "TRUE"
//   GET  /userinfo?MachineNum=M   <user><qeluser>...</qeluser></user> from the newest uploaded
//                              user document of machine M (<user/> when none)
//   GET  /files/PATH           DIR/files/PATH with Content-Length, HEAD and byte ranges; with
//                              --rate each body is sent at that many bytes per second (so that
//                              a download from this machine shows its progress)
//
// Names that leave the data directory ("..", absolute paths, links pointing out) get 404. Bodies
// larger than --max-body (default 64 MiB) get 413. Each request is logged as one line on
// standard output: method, target, status, body bytes. SIGINT and SIGTERM stop the server.
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>

#include "data_dir.h"
#include "routes.h"

namespace {

constexpr std::size_t kWorkers = 64;

std::atomic<bool> stopRequested{false};

extern "C" void RequestStop(int) { stopRequested = true; }

struct Options {
    std::string data;
    std::string listen = "127.0.0.1";
    int port = -1;
    std::size_t maxBody = 64u * 1024 * 1024;
    unsigned long long rate = 0;  // bytes per second of a /files/ body; 0: unlimited
    std::string user;             // NAME:PASSWORD; empty: uploads need no credentials
    wi::service::AuthScheme auth = wi::service::AuthScheme::kDigest;
    bool authGiven = false;
};

[[noreturn]] void Usage(const std::string& problem) {
    std::cerr << "webinteractive-service: " << problem
              << "\nusage: webinteractive-service --data DIR [--listen ADDRESS] --port N"
                 " [--max-body BYTES]\n"
                 "       [--rate BYTES_PER_SECOND] [--user NAME:PASSWORD [--auth digest|basic]]\n";
    std::exit(2);
}

unsigned long long Number(const std::string& option, const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 18) {
        Usage(option + " needs a whole number, not \"" + text + "\"");
    }
    return std::stoull(text);
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) Usage(option + " needs a value");
        const std::string value = argv[++i];
        if (option == "--data") {
            options.data = value;
        } else if (option == "--listen") {
            options.listen = value;
        } else if (option == "--port") {
            const auto port = Number(option, value);
            if (port > 65535) Usage("--port must be at most 65535");
            options.port = static_cast<int>(port);
        } else if (option == "--max-body") {
            options.maxBody = static_cast<std::size_t>(Number(option, value));
        } else if (option == "--rate") {
            options.rate = Number(option, value);
        } else if (option == "--user") {
            if (value.find(':') == std::string::npos || value.front() == ':') {
                Usage("--user needs NAME:PASSWORD");
            }
            options.user = value;
        } else if (option == "--auth") {
            if (value != "digest" && value != "basic") Usage("--auth must be digest or basic");
            options.auth = value == "basic" ? wi::service::AuthScheme::kBasic
                                            : wi::service::AuthScheme::kDigest;
            options.authGiven = true;
        } else {
            Usage("unknown option " + option);
        }
    }
    if (options.authGiven && options.user.empty()) Usage("--auth needs --user NAME:PASSWORD");
    if (options.data.empty()) Usage("--data is required");
    if (options.port < 0) Usage("--port is required");
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    try {
        wi::service::DataDir data(options.data);
        httplib::Server server;
        server.set_payload_max_length(options.maxBody);
        // A peer that stops sending does not hold a worker for ever.
        server.set_read_timeout(30, 0);
        server.set_write_timeout(30, 0);
        // An idle kept-alive connection holds its worker this long, and so delays a stop.
        server.set_keep_alive_timeout(1);
        // Each connection holds a worker while it is open: enough workers that many clients
        // keeping their connections are all served at once, and connections kept for many
        // requests rather than opened again every five.
        server.new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
        server.set_keep_alive_max_count(1000);
        // A body written after its headers would otherwise wait for the client's delayed
        // acknowledgement of them (Nagle), some 40 ms per request on a kept connection.
        server.set_tcp_nodelay(true);
        std::mutex logMutex;
        server.set_logger([&logMutex](const httplib::Request& req, const httplib::Response& res) {
            std::size_t bytes = res.body.size();
            if (res.has_header("Content-Length")) {
                bytes = std::strtoull(res.get_header_value("Content-Length").c_str(), nullptr, 10);
            }
            std::lock_guard<std::mutex> lock(logMutex);
            std::printf("%s %s %d %zu\n", req.method.c_str(), req.target.c_str(), res.status,
                        bytes);
            std::fflush(stdout);
        });
        server.set_exception_handler(
            [](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
                res.status = 500;
                res.set_content("the service could not complete the request\n", "text/plain");
            });
        // Only this server may listen on the port: httplib's default also sets SO_REUSEPORT,
        // which would let a second server share a port already taken.
        socket_t listening = INVALID_SOCKET;
        server.set_socket_options([&listening](socket_t socket) {
            listening = socket;
            int yes = 1;
            setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        });
        // Port 0: the system picks the port, so that no other process can take it first.
        int port = options.port;
        if (port == 0) {
            port = server.bind_to_any_port(options.listen);
        } else if (!server.bind_to_port(options.listen, port)) {
            port = -1;
        }
        if (port <= 0) {
            std::cerr << "webinteractive-service: cannot listen on " << options.listen << ":"
                      << options.port << " (in use or not available)\n";
            return 1;
        }
        // httplib listens with a queue of 5 connections: many clients connecting at once would
        // overflow it and see their connections dropped. Listening again only enlarges it.
        if (listening != INVALID_SOCKET) listen(listening, SOMAXCONN);
        std::string name, password;
        if (!options.user.empty()) {
            const auto colon = options.user.find(':');  // checked when the options were read
            name = options.user.substr(0, colon);
            password = options.user.substr(colon + 1);
        }
        wi::service::UploadGuard guard(
            options.user.empty() ? wi::service::AuthScheme::kNone : options.auth, name, password);
        wi::service::RouteSettings settings;
        settings.endpoint = {options.listen, port};
        settings.filePacing = {options.rate, &stopRequested};
        settings.uploadGuard = &guard;
        wi::service::AddRoutes(server, data, settings);

        std::signal(SIGINT, RequestStop);
        std::signal(SIGTERM, RequestStop);
        std::thread watcher([&server] {
            while (!stopRequested) std::this_thread::sleep_for(std::chrono::milliseconds(50));
            server.stop();
        });
        std::printf("listening on %s:%d, data in %s\n", options.listen.c_str(), port,
                    data.root().c_str());
        std::fflush(stdout);
        server.listen_after_bind();
        stopRequested = true;
        watcher.join();
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "webinteractive-service: " << error.what() << "\n";
        return 1;
    }
}
