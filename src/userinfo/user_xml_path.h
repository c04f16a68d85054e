// Where the user document of the protection store lives: the host parameter "qeluser", else the
// path the service keeps for this machine, else a default on the last fixed drive.
#pragma once

#include <string>

namespace wi::userinfo {

// Resolves the user-document path and returns the process-global path (valid until the next
// resolution or ReadUserInfo). A parameter naming an existing file is returned at once; any
// other resolution asks the service, falls back to "<last drive>\qel_protect\software\qeluser.xml"
// (saved as the parameter) and reports the path to the service. "" only when neither the
// parameter nor the service gave a path and the machine has no fixed drive.
const std::string& GetUserXmlPath();

// The process-global user-document path as it stands (empty at load).
std::string& UserXmlPath();

}  // namespace wi::userinfo
