// CXFileOperator: the rules on path names, and directory creation along a validated path. Paths
// are read by character of the narrow code page: in GBK the bytes of "\" and "|" are also trail
// bytes of double-byte characters, which neither separate nor make a name invalid.
#include "inc/file_error.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/narrow_path.h"
#include "webinteractive/FileOperator.h"

namespace {

using wi::platform::EndsWithBackslash;
using wi::platform::FindLastNarrowChar;
using wi::platform::FindNarrowChar;

constexpr std::string::size_type kMaxPathLength = 260;
constexpr const char* kInvalidPathCharacters = "/:*?\"<>|";

// Where the part of the path to validate begins: after a leading "\\" or after the first ":".
// npos when the path has neither.
std::string::size_type ExaminedPartStart(const std::string& path) {
    if (path.compare(0, 2, "\\\\") == 0) return 2;
    std::string::size_type colon = FindNarrowChar(path, ":");
    return colon == std::string::npos ? std::string::npos : colon + 1;
}

// True when a backslash at or after `from` is followed by another. The walk starts at the
// beginning, as `from` may fall inside a double-byte character.
bool HasDoubledBackslash(const std::string& path, std::string::size_type from) {
    for (std::string::size_type separator = FindNarrowChar(path, "\\");
         separator != std::string::npos; separator = FindNarrowChar(path, "\\", separator + 1)) {
        if (separator >= from && separator + 1 < path.size() && path[separator + 1] == '\\') {
            return true;
        }
    }
    return false;
}

bool IsValidPath(const std::string& path) {
    std::string::size_type start = ExaminedPartStart(path);
    if (start == std::string::npos) return false;
    return !HasDoubledBackslash(path, start) &&
           FindNarrowChar(path, kInvalidPathCharacters, start) == std::string::npos;
}

// "/" never occurs as a trail byte (those are 0x40 and above), so bytes may be replaced here.
std::string WithBackslashes(std::string path) {
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

}  // namespace

void CXFileOperator::InsureDirectoryExist(const std::string& path) {
    if (path.empty() || path.size() > kMaxPathLength) return;
    if (!IsValidPath(path)) {
        wi::platform::SetLastError(kBadPathError);
        wi::inc::RaiseFileError("CXFileOperator::InsureDirectoryExist");
    }
    // Every directory along the path, then the path itself; those that exist (or the bare drive)
    // fail to be created, which is fine.
    std::string::size_type separator = ExaminedPartStart(path);
    while ((separator = FindNarrowChar(path, "\\", separator)) != std::string::npos) {
        wi::platform::CreateDirectory(path.substr(0, separator));
        ++separator;
    }
    if (!EndsWithBackslash(path)) wi::platform::CreateDirectory(path);
}

std::string CXFileOperator::GetFileName(const std::string& path) {
    std::string::size_type separator = FindLastNarrowChar(path, "\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

bool CXFileOperator::IsAbsolutePath(const std::string& path) {
    if (path.size() <= 1) return false;
    const std::string normalised = WithBackslashes(path);
    if (HasDoubledBackslash(normalised, 2)) return false;
    if (normalised.compare(0, 2, "\\\\") == 0) return true;
    const char first = normalised[0];
    const bool asciiLetter = (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z');
    return asciiLetter && normalised[1] == ':';
}

std::string CXFileOperator::GetDirectoryPart(const std::string& path) {
    if (!IsAbsolutePath(path)) return path;
    std::string directory = WithBackslashes(path);
    if (EndsWithBackslash(directory)) return directory;
    if (IsDirectory(directory)) return directory + "\\";
    // Cut after the last backslash, keeping it ("" when there is none).
    std::string::size_type separator = FindLastNarrowChar(directory, "\\");
    return directory.substr(0, separator == std::string::npos ? 0 : separator + 1);
}
