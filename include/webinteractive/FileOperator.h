// File operations on narrow Windows paths, and the exception they raise.
#pragma once

#include <cstdint>
#include <exception>
#include <list>
#include <string>

#include "webinteractive/export.h"

class WI_EXPORT CXException : public std::exception {
public:
    CXException(std::string sourceFile, int line, std::string operation, std::string message,
                int category);
    const char* what() const noexcept override { return message.c_str(); }

    std::string sourceFile;  // the header that declares the failing operation
    int line;
    std::string operation;  // for example "CXFileOperator::CopyFile"
    std::string message;    // "code:%d\r\ninformation: \r\n" and the error text
    int category;
};

class WI_EXPORT CXFileOperator {
public:
    // The error code that marks a bad file or path name.
    static constexpr std::uint32_t kBadPathError = 0xE0000001u;

    static bool PathExists(const std::string& path);
    static bool IsDirectory(const std::string& path);
    // Clears the file's attributes, then deletes it; raises CXException on failure.
    static void DeleteFile(const std::string& path);
    // Clears the destination's attributes, then copies. A failure raises CXException unless
    // failIfExists is true, in which case it returns quietly.
    static void CopyFile(const std::string& source, const std::string& destination,
                         bool failIfExists);
    // Validates the path and creates every directory along it; raises CXException for a bad path.
    static void InsureDirectoryExist(const std::string& path);
    // kind 0: bytes available to the caller, 1: total bytes, 2: total free bytes; 0 otherwise.
    static std::uint64_t GetDiskSpace(const std::string& path, int kind);
    static std::string GetFileName(const std::string& path);
    static bool IsAbsolutePath(const std::string& path);
    static std::string GetDirectoryPart(const std::string& path);
    static void ListDirectory(const std::string& directory, std::list<std::string>& entries);
    // A file's size, or the sum over a directory's tree; a link to a directory adds nothing and
    // is never entered, a link to a file adds its target's size.
    static std::uint64_t GetPathSize(const std::string& path);
};
