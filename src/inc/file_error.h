// Raising CXException for a failed file operation.
#pragma once

#include <cstdint>
#include <string>

namespace wi::inc {

// "code:%d\r\ninformation: \r\n" and the text for the error code.
std::string FileErrorMessage(std::uint32_t code);
// Raises CXException for the operation, from the thread's last error.
[[noreturn]] void RaiseFileError(const char* operation);

}  // namespace wi::inc
