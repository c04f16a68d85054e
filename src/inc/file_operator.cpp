// CXFileOperator: the operations that touch the file system.
#include <vector>

#include "inc/file_error.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "webinteractive/FileOperator.h"

namespace platform = wi::platform;

bool CXFileOperator::PathExists(const std::string& path) {
    std::uint32_t attributes = 0;
    return !path.empty() && platform::GetFileAttributes(path, attributes);
}

bool CXFileOperator::IsDirectory(const std::string& path) {
    std::uint32_t attributes = 0;
    return !path.empty() && platform::GetFileAttributes(path, attributes) &&
           (attributes & platform::kAttrDirectory) != 0;
}

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
    const bool endsWithSeparator = !directory.empty() && directory.back() == '\\';
    for (const std::string& name : names) {
        entries.push_back(endsWithSeparator ? directory + name : directory + "\\" + name);
    }
}

std::uint64_t CXFileOperator::GetPathSize(const std::string& path) {
    if (IsDirectory(path)) {
        std::list<std::string> entries;
        ListDirectory(path, entries);
        std::uint64_t total = 0;
        for (const std::string& entry : entries) total += GetPathSize(entry);
        return total;
    }
    std::uint64_t size = 0;
    return platform::GetFileSize(path, size) ? size : 0;
}
