// Where single downloaded files are put, and how their paths reach the caller.
#pragma once

#include <string>

namespace wi::lists {

// The path used when the machine cannot name its shared templates folder.
constexpr const char* kFallbackDownloadPath = "C:\\DownFile.tmp";

// The machine's shared templates folder, where downloaded files go; false when it is unknown.
bool DownloadFolder(std::string& folder);

// "<folder>\<stem><tick count>.tmp": the milliseconds since the system started, printed as the
// signed decimal of their 32-bit count, as a Windows tick count prints.
std::string TickedDownloadPath(const std::string& folder, const std::string& stem);

// Copies the path and its terminator into the caller's buffer (which has room for it by the
// operations' contract); a null buffer gets nothing.
void CopyToCallerBuffer(char* buffer, const std::string& path);
// Makes the caller's buffer hold the empty string.
void ClearCallerBuffer(char* buffer);

}  // namespace wi::lists
