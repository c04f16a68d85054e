#include "commands.h"

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/posix/windows_path.h"

namespace wi::cmd {

namespace {

using platform::posix::FormatWindowsPath;
using platform::posix::ParseWindowsPath;
using platform::posix::WindowsPath;

const std::uint32_t kDosBits =
    platform::kAttrReadOnly | platform::kAttrHidden | platform::kAttrSystem;

bool Failed(const std::string& what, const std::string& path, std::string& error) {
    error = what + " " + path;
    std::string reason = platform::SystemErrorText(platform::LastError());
    if (!reason.empty()) error += ": " + reason;
    return false;
}

// Creates the directory and every missing directory above it, as mkdir does on Windows.
bool MakeDirectory(const WindowsPath& target, std::string& error) {
    std::string whole = FormatWindowsPath(target);
    std::uint32_t attributes = 0;
    if (platform::GetFileAttributes(whole, attributes)) {
        error = "A subdirectory or file " + whole + " already exists.";
        return false;
    }
    WindowsPath partial;
    partial.drive = target.drive;
    for (const std::string& name : target.names) {
        partial.names.push_back(name);
        std::string path = FormatWindowsPath(partial);
        // An existing file in the way makes the next creation fail, with its reason.
        if (!platform::GetFileAttributes(path, attributes) && !platform::CreateDirectory(path)) {
            return Failed("Cannot create", path, error);
        }
    }
    return true;
}

bool ChangeAttributes(const WindowsPath& target, const Command& command, std::string& error) {
    std::string path = FormatWindowsPath(target);
    std::uint32_t attributes = 0;
    if (!platform::GetFileAttributes(path, attributes)) {
        return Failed("File not found -", path, error);
    }
    if (attributes & platform::kAttrReparsePoint) {
        // The attributes would land on the link's target, which may lie anywhere.
        error = "Not changing the attributes of a link: " + path;
        return false;
    }
    std::uint32_t wanted =
        ((attributes & kDosBits) | command.setAttributes) & ~command.clearAttributes;
    if (!platform::SetFileAttributes(path, wanted ? wanted : platform::kAttrNormal)) {
        return Failed("Cannot change the attributes of", path, error);
    }
    return true;
}

bool RemoveDirectory(const WindowsPath& target, const Command& command, std::string& error) {
    std::string path = FormatWindowsPath(target);
    if (target.names.empty()) {
        error = "Refusing to remove the root of a drive: " + path;
        return false;
    }
    std::uint32_t attributes = 0;
    if (!platform::GetFileAttributes(path, attributes)) return Failed("Cannot find", path, error);
    // A link to a directory, or a dangling link, is removed itself and never followed.
    bool isLink = (attributes & platform::kAttrReparsePoint) != 0;
    if (!(attributes & platform::kAttrDirectory) && attributes != platform::kAttrReparsePoint) {
        error = "The directory name is invalid: " + path;
        return false;
    }
    if (isLink) return platform::DeleteFile(path) || Failed("Cannot remove", path, error);
    if (command.wholeTree) {
        // Read-only files inside go as well, as with rd /s /q on Windows.
        std::string failedPath;
        return platform::RemoveTree(path, failedPath) || Failed("Cannot remove", failedPath, error);
    }
    return platform::RemoveDirectory(path) || Failed("Cannot remove", path, error);
}

}  // namespace

bool RunCommand(const Command& command, std::string& error) {
    bool ok = true;
    for (const std::string& text : command.paths) {
        WindowsPath target;
        std::string pathError;
        bool done;
        if (!ParseWindowsPath(text, target)) {
            pathError = "Not a path on a drive of this machine: " + text;
            done = false;
        } else if (command.verb == Verb::kMakeDirectory) {
            done = MakeDirectory(target, pathError);
        } else if (command.verb == Verb::kAttrib) {
            done = ChangeAttributes(target, command, pathError);
        } else {
            done = RemoveDirectory(target, command, pathError);
        }
        if (!done && ok) {
            error = pathError;
            ok = false;
        }
    }
    return ok;
}

}  // namespace wi::cmd
