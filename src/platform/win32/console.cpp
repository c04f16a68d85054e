// The standard streams of a console program on Windows.
#include "platform/win32/windows_api.h"

#include "platform/console.h"
#include "platform/console_capture.h"

#include <fcntl.h>
#include <io.h>

namespace wi::console {

namespace {

DWORD HandleId(StandardStream stream) {
    return stream == StandardStream::kOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE;
}

int Descriptor(StandardStream stream) { return stream == StandardStream::kOutput ? 1 : 2; }

}  // namespace

// A console handle answers GetConsoleMode; a file, a pipe or the NUL device does not.
bool IsTerminal(StandardStream stream) {
    DWORD mode = 0;
    HANDLE handle = ::GetStdHandle(HandleId(stream));
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
}

int TerminalColumns(StandardStream stream) {
    if (!IsTerminal(stream)) return 0;
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(::GetStdHandle(HandleId(stream)), &info)) return 0;
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    return columns > 0 ? columns : 0;
}

bool EnableLineRedrawing(StandardStream stream) {
    DWORD mode = 0;
    HANDLE handle = ::GetStdHandle(HandleId(stream));
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode)) {
        return false;
    }
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           ::SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

namespace {

class WindowsCapturePipe : public CapturePipe {
public:
    explicit WindowsCapturePipe(int fd) : fd_(fd) {}
    ~WindowsCapturePipe() override { _close(fd_); }

    // An anonymous pipe cannot be waited on: it is looked at every few milliseconds.
    bool WaitReadable(unsigned milliseconds) override {
        constexpr unsigned kLook = 20;
        for (unsigned waited = 0;; waited += kLook) {
            DWORD available = 0;
            if (!Peek(available) || available > 0) return true;
            if (waited >= milliseconds) return false;
            ::Sleep(kLook);
        }
    }

    bool ReadAvailable(std::string& bytes) override {
        char block[4096];
        for (;;) {
            DWORD available = 0;
            if (!Peek(available)) return false;  // every writer has closed its end
            if (available == 0) return true;
            const int count = _read(fd_, block, available < sizeof block ? available : sizeof block);
            if (count <= 0) return false;
            bytes.append(block, static_cast<std::size_t>(count));
        }
    }

private:
    bool Peek(DWORD& available) const {
        const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd_));
        return ::PeekNamedPipe(handle, nullptr, 0, nullptr, &available, nullptr) != 0;
    }

    int fd_;
};

}  // namespace

std::FILE* CaptureStandardOutput() {
    std::fflush(stdout);
    int ends[2];
    if (_pipe(ends, 65536, _O_BINARY | _O_NOINHERIT) != 0) return nullptr;
    const int original = _dup(Descriptor(StandardStream::kOutput));
    std::FILE* stream = original >= 0 ? _fdopen(original, "w") : nullptr;
    if (stream == nullptr || _dup2(ends[1], 1) < 0) {
        if (stream != nullptr) {
            std::fclose(stream);
        } else if (original >= 0) {
            _close(original);
        }
        _close(ends[0]);
        _close(ends[1]);
        return nullptr;
    }
    _close(ends[1]);
    // Writers that go by the handle rather than the C runtime's descriptor follow too.
    ::SetStdHandle(STD_OUTPUT_HANDLE, reinterpret_cast<HANDLE>(_get_osfhandle(1)));
    StartCaptureReader(std::make_unique<WindowsCapturePipe>(ends[0]));
    return stream;
}

}  // namespace wi::console
