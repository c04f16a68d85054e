// The version of the library that is loaded, as the build's version header tells it.
#include "webinteractive/host.h"
#include "webinteractive/version.h"

namespace IHostInc {

const char* GetVersion() { return WEBINTERACTIVE_VERSION_STRING; }

int GetVersionNumber() { return WEBINTERACTIVE_VERSION_NUMBER; }

}  // namespace IHostInc
