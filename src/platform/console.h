// The program's standard streams as a host on the console sees them: whether one is a terminal
// and how wide it is (progress drawn in place there, plain lines elsewhere), and moving standard
// output aside so that one stream carries a machine-readable result alone.
#pragma once

#include <cstdio>

namespace wi::platform {

enum class StandardStream { kOutput, kError };

bool IsTerminal(StandardStream stream);
// The terminal's width in columns; 0 when the stream is no terminal or does not tell.
int TerminalColumns(StandardStream stream);

// From now on, whatever the program writes to standard output (its own and its libraries'
// writes) goes to standard error; the returned stream writes to the original standard output.
// Null, changing nothing, when the streams cannot be rearranged.
std::FILE* DivertStandardOutput();

}  // namespace wi::platform
