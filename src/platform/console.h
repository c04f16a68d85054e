// The program's standard streams as a host on the console sees them: whether one is a terminal
// and how wide it is (progress drawn in place there, plain lines elsewhere), and taking what is
// written to standard output aside so that that stream carries the results alone. A module of the
// host programs (wi_console), not of the library: the library never touches the console.
#pragma once

#include <cstdio>
#include <string>

// Marks a function as printf-style for the compiler's checks of its calls, by the rules of the
// printf that the program's C library gives (mingw-w64's own, which takes "%zu", is checked as
// gnu_printf: its "printf" means Microsoft's).
#ifdef __MINGW_PRINTF_FORMAT
#define WI_PRINTF_CHECK(formatIndex, firstArgument) \
    __attribute__((format(__MINGW_PRINTF_FORMAT, formatIndex, firstArgument)))
#else
#define WI_PRINTF_CHECK(formatIndex, firstArgument) \
    __attribute__((format(printf, formatIndex, firstArgument)))
#endif

namespace wi::console {

enum class StandardStream { kOutput, kError };

bool IsTerminal(StandardStream stream);
// The terminal's width in columns; 0 when the stream is no terminal or does not tell.
int TerminalColumns(StandardStream stream);
// Readies a terminal for the control sequences that redraw a line in place ("\r", then "\x1b[K"
// to clear what a longer drawing left): a posix terminal takes them as it is, a Windows console
// is switched to processing them. False when the stream is no terminal or cannot take them (a
// console before Windows 10): the caller then writes plain lines.
bool EnableLineRedrawing(StandardStream stream);

// From now on, whatever the program writes to standard output (its own and its libraries'
// writes, through the C runtime or the system) is kept for ReadCapturedOutput instead of being
// shown; the returned stream writes to the original standard output. Null, changing nothing,
// when the streams cannot be rearranged. A writer never waits on the reader: what is written is
// taken from the pipe as it arrives.
std::FILE* CaptureStandardOutput();
// What was written to standard output since the last call, in the order written; "" when
// nothing (or when nothing is captured). Never waits for more.
std::string ReadCapturedOutput();

}  // namespace wi::console
