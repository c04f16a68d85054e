// The error codes the platform's file calls leave for the failures tests provoke: errno values.
// Windows tells apart a few failures that posix gives one code.
#pragma once

#include <cerrno>
#include <cstdint>

namespace wi::test::error {

constexpr std::uint32_t kFileNotFound = ENOENT;   // the named entry is missing
constexpr std::uint32_t kPathNotFound = ENOENT;   // a folder on the way to it is missing
constexpr std::uint32_t kFileExists = EEXIST;     // a copy that may not replace its destination
constexpr std::uint32_t kAlreadyExists = EEXIST;  // a directory made where one exists
constexpr std::uint32_t kAccessDenied = EACCES;   // a read-only file written to
constexpr std::uint32_t kIsDirectory = EISDIR;    // a file operation on a directory

}  // namespace wi::test::error
