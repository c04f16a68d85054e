#include "userinfo/user_xml_path.h"

#include <vector>

#include "frame/drives.h"
#include "inc/narrow_text.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/frame.h"
#include "webinteractive/status.h"
#include "webinteractive/userinfo.h"

namespace wi::userinfo {

namespace {

const char* const kParameterName = "qeluser";

bool NamesExistingFile(const std::string& path) {
    return !path.empty() && CXFileOperator::PathExists(path);
}

}  // namespace

std::string& UserXmlPath() {
    static std::string path;
    return path;
}

std::recursive_mutex& UserXmlPathMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

std::string StoredUserXmlPath() {
    std::string name = kParameterName;
    const std::string path = IHelperInc::ReadParam(name);
    return NamesExistingFile(path) ? path : std::string();
}

std::string GetUserXmlPath() {
    std::lock_guard<std::recursive_mutex> lock(UserXmlPathMutex());
    std::string& path = UserXmlPath();
    std::string name = kParameterName;
    path = IHelperInc::ReadParam(name);
    if (NamesExistingFile(path)) {
        return path;
    }

    path = IWebInteractive::ReadUserInfo();
    const std::vector<std::string> drives = frame::FixedDrives();
    if (!NamesExistingFile(path) && !drives.empty()) {
        std::string directory = drives.back() + "\\qel_protect\\software\\";
        IWebInteractive::MakesureDirExist(directory);
        path = drives.back() + "\\qel_protect\\software\\qeluser.xml";
        std::string value = path;
        IHelperInc::SaveParam(name, value);
    }

    // starting to upload the user's personal information
    static const std::string uploadText = inc::NarrowFromUtf8("开始上传用户个性化信息...");
    IHelperInc::MakeStatus("%s", uploadText.c_str());
    IWebInteractive::UpdateUserInfo();
    return path;
}

}  // namespace wi::userinfo
