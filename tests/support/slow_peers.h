// Peers on 127.0.0.1 that are too slow to finish anything: one that trickles its answer a byte
// at a time and never ends it, and a listener whose connections never complete. For tests that
// show a client gives up on them in bounded time.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace wi::test {

// Answers every connection, once the request header has arrived, with the given bytes one at a
// time, then sends the filler byte forever, each byte after the pause; records the header.
class TrickleServer {
public:
    TrickleServer(std::string answer, char filler, std::chrono::milliseconds pause);
    ~TrickleServer();  // Stop()
    TrickleServer(const TrickleServer&) = delete;
    TrickleServer& operator=(const TrickleServer&) = delete;

    // "http://127.0.0.1:<port>" followed by the path.
    std::string Url(const std::string& path) const;
    // The request headers read so far, up to and including their blank line.
    std::vector<std::string> Requests() const;
    // Closes the listener and every connection and joins the threads.
    void Stop();

private:
    void AcceptLoop();
    void Serve(int connection);
    bool Stopping() const;

    std::string answer_;
    char filler_;
    std::chrono::milliseconds pause_;
    int listener_ = -1;
    int port_ = 0;
    bool stopping_ = false;  // guarded by mutex_
    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    std::vector<std::string> requests_;
    std::vector<std::thread> workers_;
    std::thread acceptor_;
};

// A listener whose accept queue is kept full and never accepted from: the system drops further
// connection attempts, so a client's connect to it neither succeeds nor fails for minutes.
class BackloggedListener {
public:
    BackloggedListener();
    ~BackloggedListener();
    BackloggedListener(const BackloggedListener&) = delete;
    BackloggedListener& operator=(const BackloggedListener&) = delete;

    std::string Url(const std::string& path) const;

private:
    int listener_ = -1;
    int port_ = 0;
    std::vector<int> fillers_;  // the connections that fill the queue
};

}  // namespace wi::test
