// The service's answer to the user-information reading.
#pragma once

#include <string>

namespace wi::userinfo {

// Takes the user-document path from an answer "<user><qeluser>path</qeluser></user>" (the root
// in any letter case, "qeluser" exactly so; its text in the narrow code page) when that path is
// absolute on a fixed drive of this machine ("X:\..."). Any other document, and an answer naming
// any other path (relative, "X:name", "\x", a network path, a drive that is not fixed), leave
// the path as it was: such an answer counts as naming no path. False, with the path unchanged,
// when the answer is not an XML document. The answer's bytes are read in the narrow code page,
// or by the encoding their declaration names when they are not valid there. Errors of the XML
// library pass through.
bool ReadUserInfoAnswer(const std::string& answer, std::string& path);

}  // namespace wi::userinfo
