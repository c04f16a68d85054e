#include "platform/console.h"

#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/console_capture.h"

namespace wi::console {

namespace {

int Descriptor(StandardStream stream) {
    return stream == StandardStream::kOutput ? STDOUT_FILENO : STDERR_FILENO;
}

}  // namespace

bool IsTerminal(StandardStream stream) { return isatty(Descriptor(stream)) == 1; }

int TerminalColumns(StandardStream stream) {
    winsize size{};
    if (!IsTerminal(stream) || ioctl(Descriptor(stream), TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_col;
}

bool EnableLineRedrawing(StandardStream stream) { return IsTerminal(stream); }

namespace {

class PosixCapturePipe : public CapturePipe {
public:
    explicit PosixCapturePipe(int fd) : fd_(fd) {}
    ~PosixCapturePipe() override { close(fd_); }

    bool WaitReadable(unsigned milliseconds) override {
        pollfd wanted{fd_, POLLIN, 0};
        return poll(&wanted, 1, static_cast<int>(milliseconds)) > 0;
    }

    bool ReadAvailable(std::string& bytes) override {
        char block[4096];
        for (;;) {
            const ssize_t count = read(fd_, block, sizeof block);
            if (count > 0) {
                bytes.append(block, static_cast<std::size_t>(count));
            } else if (count == 0) {
                return false;  // every writer has closed its end
            } else {
                return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
            }
        }
    }

private:
    int fd_;
};

}  // namespace

std::FILE* CaptureStandardOutput() {
    std::fflush(stdout);
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return nullptr;
    const int original = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    std::FILE* stream = original >= 0 ? fdopen(original, "w") : nullptr;
    if (stream == nullptr || fcntl(ends[0], F_SETFL, O_NONBLOCK) != 0 ||
        dup2(ends[1], STDOUT_FILENO) < 0) {
        if (stream != nullptr) {
            std::fclose(stream);
        } else if (original >= 0) {
            close(original);
        }
        close(ends[0]);
        close(ends[1]);
        return nullptr;
    }
    close(ends[1]);
    StartCaptureReader(std::make_unique<PosixCapturePipe>(ends[0]));
    return stream;
}

}  // namespace wi::console
