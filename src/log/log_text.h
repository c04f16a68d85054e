// Texts on their way into the log document.
#pragma once

#include <string>

namespace wi::log {

// The text with every byte that begins no valid character of the narrow code page replaced
// by '?' (as the reading side replaces a character the code page cannot hold), so that a
// damaged entry still reaches the document in full.
std::string ValidNarrowText(const std::string& text);

// A value of the log document: valid narrow text without the characters 1 to 31
// (IWebInteractive::CleanString).
std::string CleanedLogText(const std::string& text);

}  // namespace wi::log
