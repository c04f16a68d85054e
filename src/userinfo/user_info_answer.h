// The service's answer to the user-information reading.
#pragma once

#include <string>

namespace wi::userinfo {

// Takes the user-document path from an answer "<user><qeluser>path</qeluser></user>" (the root
// in any letter case, "qeluser" exactly so; its text in the narrow code page). Any other
// document leaves the path as it was. False, with the path unchanged, when the answer is not an
// XML document. The answer's bytes are read in the narrow code page, or by the encoding their
// declaration names when they are not valid there. Errors of the XML library pass through.
bool ReadUserInfoAnswer(const std::string& answer, std::string& path);

}  // namespace wi::userinfo
