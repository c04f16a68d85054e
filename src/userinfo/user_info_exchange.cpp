// The user-document path exchanged with the service: read under this machine's number from
// ReadUserUrl, reported in a small "user" document posted to UpUserUrl.
#include <cstring>
#include <string>

#include "frame/config.h"
#include "frame/text.h"
#include "frame/query.h"
#include "platform/xml_dom.h"
#include "lists/request.h"
#include "userinfo/user_info_answer.h"
#include "userinfo/user_xml_path.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/frame.h"
#include "webinteractive/transfer.h"
#include "webinteractive/userinfo.h"

namespace {

// Writes the "user" document (machine number and user-document path, both as they stand) to a
// new "QelUserTemp" path; "" when it cannot be written.
std::string SaveUserDocument(const std::string& machineNum, const std::string& userXmlPath) {
    const std::string path = IWebInteractive::GetTempXmlFilePath("QelUserTemp");
    try {
        wi::xml::Document document;
        wi::xml::Element root = document.CreateRoot("user");
        root.AppendElement("machinenum", machineNum);
        root.AppendElement("qeluser", userXmlPath);
        document.Save(path);
    } catch (const wi::xml::XmlError&) {
        // A save cut off half-way must not leave its part behind.
        try {
            if (CXFileOperator::PathExists(path)) CXFileOperator::DeleteFile(path);
        } catch (const CXException&) {
        }
        return "";
    }
    return path;
}

}  // namespace

namespace IWebInteractive {

const char* ReadUserInfo() {
    const wi::frame::Configuration config = wi::frame::Config();
    if (config.upUserUrl.empty()) {
        return "";
    }
    std::string machineNum = config.machineNum;
    const std::string url = wi::frame::AppendQueryParameterFirstMarkOnly(
        config.readUserUrl, "MachineNum=" + wi::frame::EncodeQueryValue(machineNum));
    std::string answer;
    if (wi::lists::RequestText(url, answer, nullptr) == 0) {
        return "";
    }
    thread_local std::string result;  // valid until this thread's next call
    std::lock_guard<std::recursive_mutex> lock(wi::userinfo::UserXmlPathMutex());
    std::string& path = wi::userinfo::UserXmlPath();
    try {
        if (!wi::userinfo::ReadUserInfoAnswer(answer, path)) {
            return "";
        }
    } catch (const wi::xml::XmlError&) {
        return "";
    }
    return wi::frame::Refill(result, path);
}

int UpdateUserInfo() {
    const wi::frame::Configuration config = wi::frame::Config();
    if (config.upUserUrl.empty()) {
        return 0;
    }
    std::string userXmlPath;
    {
        std::lock_guard<std::recursive_mutex> lock(wi::userinfo::UserXmlPathMutex());
        userXmlPath = wi::userinfo::UserXmlPath();
    }
    const std::string path = SaveUserDocument(config.machineNum, userXmlPath);
    char reply[1024] = "";
    // Without a document there is nothing to report: an empty body would tell the service
    // nothing, so no request goes out and the answer is 0.
    if (path.empty() || UploadFile(config.upUserUrl.c_str(), path.c_str(), reply, nullptr,
                                   nullptr) == 0) {
        reply[0] = '\0';
    }
    if (!path.empty()) {
        try {
            CXFileOperator::DeleteFile(path);
        } catch (const CXException&) {
            // A document left behind does not change the service's answer.
        }
    }
    return std::strncmp(reply, "TRUE", 4) == 0 ? 1 : 0;
}

}  // namespace IWebInteractive
