// What the tests' own HTTP servers share: a listening socket on 127.0.0.1 with a free port, a
// thread that takes connections, and a thread for each connection, all joined when it stops.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace wi::test {

// A listening socket on 127.0.0.1 and a free port (returned in port), with the given backlog;
// throws std::runtime_error when there is none.
int ListenOnLoopback(int backlog, int& port);

class LoopbackServer {
public:
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by the path.
    std::string Url(const std::string& path = "/") const;

protected:
    LoopbackServer();  // listens at once
    ~LoopbackServer();

    // Takes connections from now on: each is handed to serve with its number (from 1, in the
    // order they arrive) on a thread of its own. The count of connections taken grows before
    // that thread starts. Called once, by the server's constructor.
    void StartServing(std::function<void(int connection, std::size_t number)> serve);
    // Stops taking connections, joins every thread and closes the listener; the serve functions
    // return once Stopping() is true. A server calls it before its own members go. False when it
    // had already stopped.
    bool StopServing();
    bool Stopping() const { return stopping_.load(); }
    std::size_t ConnectionsTaken() const { return taken_.load(); }

private:
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<std::size_t> taken_{0};
    std::vector<std::thread> workers_;
    std::thread acceptor_;
};

}  // namespace wi::test
