/// @file
/// File operations on narrow Windows paths, and the exception they raise.
#pragma once

#include <cstdint>
#include <exception>
#include <list>
#include <string>

#include "webinteractive/export.h"

/// The error a file operation of CXFileOperator raises.
class WI_EXPORT CXException : public std::exception {
public:
    /// An error of the operation, raised at that line of that source.
    CXException(std::string sourceFile, int line, std::string operation, std::string message,
                int category);
    /// The message.
    const char* what() const noexcept override { return message.c_str(); }

    std::string sourceFile;  ///< the header that declares the failing operation
    int line;                ///< the line in that header
    std::string operation;   ///< for example "CXFileOperator::CopyFile"
    std::string message;     ///< "code:%d\r\ninformation: \r\n" and the error text
    int category;            ///< the kind of error
};

/// File operations on narrow Windows paths ("C:\\dir\\file"; on posix mapped into the machine
/// prefix).
class WI_EXPORT CXFileOperator {
public:
    /// The error code that marks a bad file or path name.
    static constexpr std::uint32_t kBadPathError = 0xE0000001u;

    /// Whether a file or directory is at the path.
    static bool PathExists(const std::string& path);
    /// Whether a directory is at the path.
    static bool IsDirectory(const std::string& path);
    /// Clears the file's attributes, then deletes it; raises CXException on failure.
    static void DeleteFile(const std::string& path);
    /// Clears the destination's attributes, then copies. A failure raises CXException unless
    /// failIfExists is true, in which case it returns quietly.
    static void CopyFile(const std::string& source, const std::string& destination,
                         bool failIfExists);
    /// Validates the path and creates every directory along it; raises CXException for a bad path.
    static void InsureDirectoryExist(const std::string& path);
    /// kind 0: bytes available to the caller, 1: total bytes, 2: total free bytes; 0 otherwise.
    static std::uint64_t GetDiskSpace(const std::string& path, int kind);
    /// The part of the path after its last backslash.
    static std::string GetFileName(const std::string& path);
    /// Whether the path begins with a drive ("C:\\") or is a network path.
    static bool IsAbsolutePath(const std::string& path);
    /// The part of the path before its last backslash.
    static std::string GetDirectoryPart(const std::string& path);
    /// Appends the names of the directory's entries to the list.
    static void ListDirectory(const std::string& directory, std::list<std::string>& entries);
    /// A file's size, or the sum over a directory's tree; a link to a directory adds nothing and
    /// is never entered, a link to a file adds its target's size.
    static std::uint64_t GetPathSize(const std::string& path);
};
