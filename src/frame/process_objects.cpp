// The objects that exist once per process and are handed to the host.
#include "webinteractive/frame.h"

namespace IWebInteractive {

CLogInc* GetLogInc() {
    static CLogInc log;
    return &log;
}

}  // namespace IWebInteractive

namespace IUserInfoInc {

// This library has no computer identifier of its own.
const char* GetComputerID() { return ""; }

}  // namespace IUserInfoInc
