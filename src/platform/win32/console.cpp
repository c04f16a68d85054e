// The standard streams of a console program on Windows.
#include "platform/win32/windows_api.h"

#include "platform/console.h"

#include <fcntl.h>
#include <io.h>

namespace wi::platform {

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

std::FILE* DivertStandardOutput() {
    std::fflush(stdout);
    const int original = _dup(Descriptor(StandardStream::kOutput));
    if (original < 0) return nullptr;
    std::FILE* stream = _fdopen(original, "w");
    if (stream == nullptr || _dup2(Descriptor(StandardStream::kError), 1) < 0) {
        if (stream != nullptr) {
            std::fclose(stream);
        } else {
            _close(original);
        }
        return nullptr;
    }
    // Writers that go by the handle rather than the C runtime's descriptor follow too.
    ::SetStdHandle(STD_OUTPUT_HANDLE, ::GetStdHandle(STD_ERROR_HANDLE));
    return stream;
}

}  // namespace wi::platform
