// The thread's last error code, as the platform's file and process calls leave it.
#pragma once

#include <cstdint>
#include <string>

namespace wi::platform {

std::uint32_t LastError();
void SetLastError(std::uint32_t code);
// The system's message text for the code, in the narrow code page; "" when it has none.
std::string SystemErrorText(std::uint32_t code);

}  // namespace wi::platform
