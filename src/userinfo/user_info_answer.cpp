#include "userinfo/user_info_answer.h"

#include "platform/machine.h"
#include "platform/xml_dom.h"

namespace wi::userinfo {

namespace {

// "X:\" and a name below it, X a fixed drive of this machine. A relative or drive-relative path
// would resolve in whatever directory is current, a network path on another machine, and a drive
// the machine lacks nowhere: none of them is where this machine keeps its store.
bool IsPathOnFixedDrive(const std::string& path) {
    return path.size() > 3 && path[1] == ':' && path[2] == '\\' &&
           platform::CurrentMachine().IsFixedDrive(path[0]);
}

}  // namespace

bool ReadUserInfoAnswer(const std::string& answer, std::string& path) {
    xml::Document document;
    if (!document.ParseBytes(answer)) {
        return false;
    }
    const xml::Element root = document.Root();
    if (root.NameIs("user")) {
        if (const xml::Element qeluser = root.FirstChild("qeluser")) {
            const std::string named = qeluser.Text();
            if (IsPathOnFixedDrive(named)) path = named;
        }
    }
    return true;
}

}  // namespace wi::userinfo
