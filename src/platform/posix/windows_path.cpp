#include "platform/posix/windows_path.h"

#include "platform/narrow_path.h"

namespace wi::platform::posix {

namespace {

const char* const kSeparators = "\\/";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

bool ParseWindowsPath(const std::string& text, WindowsPath& path) {
    path = WindowsPath();
    if (text.empty() || text.find('\0') != std::string::npos) return false;
    std::size_t position = 0;
    if (text.size() >= 2 && IsAsciiLetter(text[0]) && text[1] == ':') {
        path.drive = static_cast<char>(text[0] | 0x20);
        position = 2;  // "D:x": the current directory of every drive is its root
    } else if (text.size() >= 2 && IsSeparator(text[0]) && IsSeparator(text[1])) {
        return false;  // "\\server\share": no drive of this machine
    } else {
        path.drive = kCurrentDrive;  // "x" or "\x": in the current directory, the root of C:
    }
    while (position <= text.size()) {
        // By character: 0x5C as the trail byte of a double-byte character separates nothing.
        std::size_t end = FindNarrowChar(text, kSeparators, position);
        if (end == std::string::npos) end = text.size();
        std::string name = text.substr(position, end - position);
        if (name.find(':') != std::string::npos) {
            // Windows names hold no colon; "x\D:y" would read back as a path on drive D:.
            path = WindowsPath();
            return false;
        }
        if (name == "..") {
            if (!path.names.empty()) path.names.pop_back();
        } else if (!name.empty() && name != ".") {
            path.names.push_back(name);
        }
        position = end + 1;
    }
    return true;
}

std::string FormatWindowsPath(const WindowsPath& path) {
    std::string text = std::string(1, static_cast<char>(path.drive & ~0x20)) + ":\\";
    for (std::size_t i = 0; i < path.names.size(); ++i) {
        if (i > 0) text += '\\';
        text += path.names[i];
    }
    return text;
}

}  // namespace wi::platform::posix
