// CXFileOperator: the operations that touch the file system.
#include <vector>

#include "inc/file_error.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/narrow_path.h"
#include "webinteractive/FileOperator.h"

namespace platform = wi::platform;

bool CXFileOperator::PathExists(const std::string& path) {
    return !path.empty() && platform::EntryExists(path);
}

bool CXFileOperator::IsDirectory(const std::string& path) {
    std::uint32_t attributes = 0;
    return !path.empty() && platform::GetFileAttributes(path, attributes) &&
           (attributes & platform::kAttrDirectory) != 0;
}

// Deleting or replacing a link acts on the link alone: clearing the attributes of a link fails
// without touching its target, and the link itself is then deleted or replaced.
void CXFileOperator::DeleteFile(const std::string& path) {
    if (path.empty()) return;
    platform::SetFileAttributes(path, platform::kAttrNormal);
    if (!platform::DeleteFile(path)) wi::inc::RaiseFileError("CXFileOperator::DeleteFile");
}

void CXFileOperator::CopyFile(const std::string& source, const std::string& destination,
                              bool failIfExists) {
    if (source.empty() || destination.empty()) return;
    if (PathExists(destination)) platform::SetFileAttributes(destination, platform::kAttrNormal);
    if (!platform::CopyFile(source, destination, failIfExists) && !failIfExists) {
        wi::inc::RaiseFileError("CXFileOperator::CopyFile");
    }
}

std::uint64_t CXFileOperator::GetDiskSpace(const std::string& path, int kind) {
    platform::DiskSpace space;
    if (kind < 0 || kind > 2 || !platform::CurrentMachine().QueryDiskSpace(path, space)) return 0;
    switch (kind) {
        case 0: return space.availableToCaller;
        case 1: return space.total;
        default: return space.totalFree;
    }
}

void CXFileOperator::ListDirectory(const std::string& directory, std::list<std::string>& entries) {
    std::vector<std::string> names;
    // A listing cut short (a name the code page cannot hold) still yields the names before it.
    platform::ListDirectory(directory, names);
    const bool endsWithSeparator = platform::EndsWithBackslash(directory);
    for (const std::string& name : names) {
        entries.push_back(endsWithSeparator ? directory + name : directory + "\\" + name);
    }
}

// A link to a directory (a junction too) contributes nothing and is never entered: the walk
// stays inside the tree it was given, and a link back into the tree cannot count it again or
// loop. A link to a file counts its target's size, which is what copying it would write. An
// entry whose host name holds a backslash is not counted either: read back as a Windows path it
// names some other place, the tree itself even.
std::uint64_t CXFileOperator::GetPathSize(const std::string& path) {
    std::uint32_t attributes = 0;
    if (path.empty() || !platform::GetFileAttributes(path, attributes)) return 0;
    if (attributes & platform::kAttrDirectory) {
        if (attributes & platform::kAttrReparsePoint) return 0;
        std::list<std::string> entries;
        ListDirectory(path, entries);
        const std::size_t nameStart =
            platform::EndsWithBackslash(path) ? path.size() : path.size() + 1;
        std::uint64_t total = 0;
        for (const std::string& entry : entries) {
            if (platform::FindNarrowChar(entry, "\\", nameStart) == std::string::npos) {
                total += GetPathSize(entry);
            }
        }
        return total;
    }
    std::uint64_t size = 0;
    return platform::GetFileSize(path, size) ? size : 0;
}
