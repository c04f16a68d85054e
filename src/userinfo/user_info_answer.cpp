#include "userinfo/user_info_answer.h"

#include "platform/xml_dom.h"

namespace wi::userinfo {

bool ReadUserInfoAnswer(const std::string& answer, std::string& path) {
    xml::Document document;
    if (!document.ParseBytes(answer)) {
        return false;
    }
    const xml::Element root = document.Root();
    if (root.NameIs("user")) {
        if (const xml::Element qeluser = root.FirstChild("qeluser")) {
            path = qeluser.Text();
        }
    }
    return true;
}

}  // namespace wi::userinfo
