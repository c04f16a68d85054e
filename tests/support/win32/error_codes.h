// The error codes the platform's file calls leave for the failures tests provoke: the system's
// own codes.
#pragma once

#include <cstdint>

namespace wi::test::error {

constexpr std::uint32_t kFileNotFound = 2;     // ERROR_FILE_NOT_FOUND
constexpr std::uint32_t kPathNotFound = 3;     // ERROR_PATH_NOT_FOUND
constexpr std::uint32_t kFileExists = 80;      // ERROR_FILE_EXISTS
constexpr std::uint32_t kAlreadyExists = 183;  // ERROR_ALREADY_EXISTS
constexpr std::uint32_t kAccessDenied = 5;     // ERROR_ACCESS_DENIED
constexpr std::uint32_t kIsDirectory = 5;      // ERROR_ACCESS_DENIED: a directory is no file

}  // namespace wi::test::error
