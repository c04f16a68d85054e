// A listener on 127.0.0.1 whose connections never complete: for tests that show a client's
// connect gives up in bounded time.
#pragma once

#include <string>
#include <vector>

namespace wi::test {

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
