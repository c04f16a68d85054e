// webinteractive-service: the reference service. A small HTTP server that answers every request
// and upload the webinteractive library makes, backed by a data directory.
//
//   webinteractive-service --data DIR --port N [options]   (--help lists them; options.cpp)
//
// Addresses (configure the library's addresses with these paths):
//   POST /upload/softlist      software list           } body kept under DIR/uploads/<kind>/,
//   POST /upload/filelist      upload file list        } one file per upload, never overwritten;
//   POST /upload/installinfo   install info            } the answer is "TRUE"
//   POST /upload/sysinfo       system info (?machinenum=)
//   POST /upload/softfile      software file (?filename=A\B)
//   POST /upload/user          user information document
//   POST /upload/log           operation log
//   Every upload but softfile must be a well-formed XML document the lists can read (at most
//   16 MiB, no entity declarations); others get 400 (413 when larger) and are not kept.
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
//   GET  /install?filename=N   install file locator: the address of DIR/files/N, under
//                              --public-url when given, with the forwarded scheme and host
//                              with --trust-proxy (public_address.h)
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
// Lists are answered in UTF-8, whatever encoding their documents declared. Names that leave the
// data directory ("..", absolute paths, links pointing out) get 404. Bodies larger than
// --max-body (default 64 MiB) get 413. Slow clients are cut off and connections per address
// limited (client_limits.h). Each request is logged as one line on standard output
// (request_log.h). SIGINT and SIGTERM stop the server; under systemd it tells it when it is
// ready and when it stops (Type=notify).
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>

#ifdef WI_SERVICE_SYSTEMD
#include <systemd/sd-daemon.h>
#endif

#include "data_dir.h"
#include "options.h"
#include "posix/guarded_server.h"
#include "request_log.h"
#include "routes.h"

namespace {

// Every open connection holds a worker: enough that one address at its connection limit leaves
// as many for everyone else.
constexpr std::size_t kWorkers = 128;

std::atomic<bool> stopRequested{false};

extern "C" void RequestStop(int) { stopRequested = true; }

// Tells systemd (when it started the service with Type=notify) how the service stands.
void NotifySystemd(const std::string& state) {
#ifdef WI_SERVICE_SYSTEMD
    sd_notify(0, state.c_str());
#else
    (void)state;
#endif
}

wi::service::GuardedServer::RequestLogger MakeLogger(bool trustProxy) {
    return [trustProxy](const httplib::Request& req, const httplib::Response& res,
                        const wi::service::GuardedServer::Exchange& exchange) {
        static std::mutex logMutex;
        wi::service::LoggedRequest entry;
        entry.client = wi::service::LoggedClient(
            exchange.peer, req.get_header_value("X-Forwarded-For"), trustProxy);
        entry.time = std::time(nullptr);
        entry.method = req.method;
        entry.target = req.target;
        entry.version = req.version;
        entry.status = res.status;
        entry.bodyBytes = exchange.bodyBytes;
        entry.referer = req.get_header_value("Referer");
        entry.userAgent = req.get_header_value("User-Agent");
        entry.duration = exchange.duration;
        const std::string line = wi::service::CombinedLogLine(entry) + "\n";
        std::lock_guard<std::mutex> lock(logMutex);
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fflush(stdout);
    };
}

}  // namespace

int main(int argc, char** argv) {
    wi::service::Options options = wi::service::ParseOptions(argc, argv);
    try {
        if (options.createData) std::filesystem::create_directories(options.data);
        wi::service::DataDir data(options.data);
        wi::service::GuardedServer server(options.limits,
                                          MakeLogger(options.addresses.trustProxy));
        server.set_payload_max_length(options.maxBody);
        // Any single wait for a peer; the whole of a request's headers and body have the shorter
        // times of --header-timeout and --body-timeout.
        server.set_read_timeout(30, 0);
        server.set_write_timeout(30, 0);
        // An idle kept-alive connection holds its worker this long, and so delays a stop.
        server.set_keep_alive_timeout(1);
        // Connections kept for many requests rather than opened again every five.
        server.new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
        server.set_keep_alive_max_count(1000);
        // A body written after its headers would otherwise wait for the client's delayed
        // acknowledgement of them (Nagle), some 40 ms per request on a kept connection.
        server.set_tcp_nodelay(true);
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
        const std::string where = wi::service::BracketedHost(options.listen);
        const int port = options.port == 0 ? server.bind_to_any_port(options.listen)
                         : server.bind_to_port(options.listen, options.port) ? options.port
                                                                             : -1;
        if (port <= 0) {
            std::cerr << "webinteractive-service: cannot listen on " << where << ":"
                      << options.port << " (in use or not available)\n";
            NotifySystemd("STATUS=cannot listen on " + where + ":" + std::to_string(options.port));
            return 1;
        }
        // httplib listens with a queue of 5 connections: many clients connecting at once would
        // overflow it and see their connections dropped. Listening again only enlarges it.
        if (listening != INVALID_SOCKET) listen(listening, SOMAXCONN);
        wi::service::UploadGuard guard(options.auth, options.user, options.password);
        wi::service::RouteSettings settings;
        settings.addresses = options.addresses;
        settings.addresses.listen = options.listen;
        settings.addresses.port = port;
        settings.filePacing = {options.rate, &stopRequested};
        settings.uploadGuard = &guard;
        settings.bodyTimedOut = &wi::service::GuardedServer::BodyTimedOut;
        wi::service::AddRoutes(server, data, settings);

        std::signal(SIGINT, RequestStop);
        std::signal(SIGTERM, RequestStop);
        std::thread watcher([&server] {
            while (!stopRequested) std::this_thread::sleep_for(std::chrono::milliseconds(50));
            NotifySystemd("STOPPING=1");
            server.stop();
        });
        const std::string listeningLine = "listening on " + where + ":" + std::to_string(port) +
                                          ", data in " + data.root().string();
        std::printf("%s\n", listeningLine.c_str());
        std::fflush(stdout);
        NotifySystemd("READY=1\nSTATUS=" + listeningLine);
        server.listen_after_bind();
        stopRequested = true;
        watcher.join();
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "webinteractive-service: " << error.what() << "\n";
        return 1;
    }
}
