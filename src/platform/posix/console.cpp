#include "platform/console.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace wi::platform {

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

std::FILE* DivertStandardOutput() {
    std::fflush(stdout);
    const int original = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (original < 0) return nullptr;
    std::FILE* stream = fdopen(original, "w");
    if (stream == nullptr || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        if (stream != nullptr) {
            std::fclose(stream);
        } else {
            close(original);
        }
        return nullptr;
    }
    return stream;
}

}  // namespace wi::platform
