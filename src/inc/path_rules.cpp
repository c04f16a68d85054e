// CXFileOperator: the rules on path names, and directory creation along a validated path.
#include "inc/file_error.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "webinteractive/FileOperator.h"

namespace {

constexpr std::string::size_type kMaxPathLength = 260;
constexpr const char* kInvalidPathCharacters = "/:*?\"<>|";

// Where the part of the path to validate begins: after a leading "\\" or after the first ":".
// npos when the path has neither.
std::string::size_type ExaminedPartStart(const std::string& path) {
    if (path.compare(0, 2, "\\\\") == 0) return 2;
    std::string::size_type colon = path.find(':');
    return colon == std::string::npos ? std::string::npos : colon + 1;
}

bool IsValidPath(const std::string& path) {
    std::string::size_type start = ExaminedPartStart(path);
    if (start == std::string::npos) return false;
    return path.find("\\\\", start) == std::string::npos &&
           path.find_first_of(kInvalidPathCharacters, start) == std::string::npos;
}

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
    while ((separator = path.find('\\', separator)) != std::string::npos) {
        wi::platform::CreateDirectory(path.substr(0, separator));
        ++separator;
    }
    if (path.back() != '\\') wi::platform::CreateDirectory(path);
}

std::string CXFileOperator::GetFileName(const std::string& path) {
    std::string::size_type separator = path.rfind('\\');
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

bool CXFileOperator::IsAbsolutePath(const std::string& path) {
    if (path.size() <= 1) return false;
    const std::string normalised = WithBackslashes(path);
    if (normalised.find("\\\\", 2) != std::string::npos) return false;
    if (normalised.compare(0, 2, "\\\\") == 0) return true;
    const char first = normalised[0];
    const bool asciiLetter = (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z');
    return asciiLetter && normalised[1] == ':';
}

std::string CXFileOperator::GetDirectoryPart(const std::string& path) {
    if (!IsAbsolutePath(path)) return path;
    std::string directory = WithBackslashes(path);
    if (directory.back() == '\\') return directory;
    if (IsDirectory(directory)) return directory + "\\";
    // Cut after the last backslash, keeping it ("" when there is none).
    std::string::size_type separator = directory.rfind('\\');
    return directory.substr(0, separator == std::string::npos ? 0 : separator + 1);
}
