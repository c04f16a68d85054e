// Init's second step resolves where the user document lies, and may ask the service that an
// earlier Init configured: a test of Init starts with no service and no remembered document path.
#pragma once

#include <string>

#include "frame/config.h"
#include "webinteractive/status.h"

namespace wi::test {

inline void ForgetService() {
    wi::frame::SetConfig(wi::frame::Configuration());
    std::string name = "qeluser", empty;
    IHelperInc::SaveParam(name, empty);
}

}  // namespace wi::test
