// The user information record: no operation of this library fills it, so every operation hands
// out the one process-global record in its reset state.
#include <memory>
#include <string>

#include "frame/query.h"
#include "platform/http.h"
#include "platform/machine.h"
#include "platform/xml_dom.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/frame.h"
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

// One GET of the address into a temporary file, waited for on this thread; the answer is parsed
// and dropped. The transfer ends on its own when the peer stalls (kDownloadStallSeconds).
void FetchAndDiscard(const std::string& url) {
    const std::string path = IWebInteractive::GetTempXmlFilePath("UserInfoTemp");
    std::unique_ptr<wi::platform::DownloadTransfer> transfer =
        wi::platform::CreateDownloadTransfer();
    if (!transfer || transfer->Start(url, path) != wi::platform::kDownloadStarted) {
        return;
    }
    while (!transfer->WaitForEnd(1000)) {
    }
    if (transfer->GetResult()) {
        wi::xml::Document answer;
        answer.ParseFile(path);
    }
    try {
        if (CXFileOperator::PathExists(path)) CXFileOperator::DeleteFile(path);
    } catch (const CXException&) {
        // A temporary answer left behind changes nothing for the caller.
    }
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
        FetchAndDiscard(wi::frame::AppendQueryParameter(url != nullptr ? url : "", "computerID=" + id));
    }
    return ResetUserInfo();
}

}  // namespace IUserInfoInc
