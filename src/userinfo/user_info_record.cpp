// The user information record: no operation of this library fills it, so every operation hands
// out the one process-global record in its reset state.
#include <string>

#include "frame/query.h"
#include "platform/machine.h"
#include "userinfo/discarded_request.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/userinfo.h"

namespace {

IUserInfoInc::UserInfo& ResetUserInfo() {
    static IUserInfoInc::UserInfo info;
    info = IUserInfoInc::UserInfo();
    return info;
}

// "<Windows folder>\Tavrex.xml", or "C:\Tavrex.xml" when the machine names no Windows folder.
std::string UserInformationFilePath() {
    std::string windows;
    if (!wi::platform::CurrentMachine().GetSpecialFolder(wi::platform::kWindowsFolder, windows)) {
        return "C:\\Tavrex.xml";
    }
    return windows + "\\Tavrex.xml";
}

}  // namespace

namespace IUserInfoInc {

const char* CreateUserInfoXml(const UserInfo&, const char*) { return ""; }

int SaveUserInfoToLocal(const UserInfo&) {
    return CXFileOperator::PathExists(UserInformationFilePath()) ? 1 : 0;
}

const UserInfo& GetUserInfoFromLocal() { return ResetUserInfo(); }

const UserInfo& GetUserInfoFromServer(const char* url, const char* computerId) {
    const std::string id = computerId != nullptr ? computerId : "";
    if (!id.empty()) {
        // The identifier goes into the address as it stands, unencoded.
        const std::string address = url != nullptr ? url : "";
        wi::userinfo::RequestAndDiscard(wi::frame::AppendQueryParameter(address, "computerID=" + id));
    }
    return ResetUserInfo();
}

}  // namespace IUserInfoInc
