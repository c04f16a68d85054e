// Where the user document of the protection store lives: the host parameter "qeluser", else the
// path the service keeps for this machine, else a default on the last fixed drive.
#pragma once

#include <mutex>
#include <string>

namespace wi::userinfo {

// Resolves the user-document path and returns it. A parameter naming an existing file is
// returned at once; any other resolution asks the service, falls back to
// "<last drive>\qel_protect\software\qeluser.xml" (saved as the parameter) and reports the path
// to the service. "" only when neither the parameter nor the service gave a path and the machine
// has no fixed drive.
std::string GetUserXmlPath();

// The path of the parameter "qeluser" when it names an existing file, else "": the user
// document as it is already stored, found without asking the service.
std::string StoredUserXmlPath();

// The process-global user-document path (empty at load) and the lock that every reader and
// writer of it holds; the lock is held across a whole resolution, with its requests.
std::string& UserXmlPath();
std::recursive_mutex& UserXmlPathMutex();

}  // namespace wi::userinfo
