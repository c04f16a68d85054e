// The C interface's user information and operation log.
#include <string>

#include "capi/call.h"
#include "capi/records.h"
#include "log/log_access.h"
#include "webinteractive/frame.h"
#include "webinteractive/host.h"
#include "webinteractive/userinfo.h"

using wi::capi::Call;
using wi::capi::CheckKind;
using wi::capi::Fail;
using wi::capi::HandOut;
using wi::capi::HandOutRecord;
using wi::capi::Misuse;
using wi::capi::WatchDownloads;
using wi::capi::WatchUploads;

namespace {

using IUserInfoInc::UserInfo;

constexpr const char* kNoAddress = "no address is configured";

}  // namespace

extern "C" {

wi_code wi_read_user_info(const char** path) {
    thread_local std::string kept;
    return Call([&] {
        if (path == nullptr) return Misuse("the result pointer is null");
        const auto download = WatchDownloads();
        const std::string found = IWebInteractive::ReadUserInfo();
        if (!found.empty()) return HandOut(kept, found.c_str(), path);
        if (download.Accepted()) return Fail(WI_FAILED, "the answer names no user document");
        return Fail(WI_FAILED,
                    download.Reason(IHostInc::GetConfigValue("ReadUserUrl"), kNoAddress));
    });
}

wi_code wi_update_user_info(void) {
    return Call([&] {
        const auto upload = WatchUploads();
        const int result = IWebInteractive::UpdateUserInfo();
        return wi::capi::ConfirmedUpload(upload, result, IHostInc::GetConfigValue("UpUserUrl"),
                                         kNoAddress);
    });
}

wi_code wi_get_computer_id(const char** id) {
    thread_local std::string kept;
    return Call([&] { return HandOut(kept, IUserInfoInc::GetComputerID(), id); });
}

wi_code wi_create_user_info_xml(const wi_record* info, const char* text, const char** xml) {
    thread_local std::string kept;
    return Call([&] {
        if (const wi_code wrong = CheckKind<UserInfo>(info)) return wrong;
        return HandOut(kept, IUserInfoInc::CreateUserInfoXml(std::get<UserInfo>(info->value), text),
                       xml);
    });
}

wi_code wi_save_user_info_to_local(const wi_record* info) {
    return Call([&] {
        if (const wi_code wrong = CheckKind<UserInfo>(info)) return wrong;
        return wi::capi::Succeeded(
            IUserInfoInc::SaveUserInfoToLocal(std::get<UserInfo>(info->value)),
            "the user information file does not exist");
    });
}

wi_code wi_get_user_info_from_local(wi_record** info) {
    return Call([&] {
        if (info == nullptr) return Misuse("the result pointer is null");
        return HandOutRecord(IUserInfoInc::GetUserInfoFromLocal(), info);
    });
}

wi_code wi_get_user_info_from_server(const char* url, const char* computer_id, wi_record** info) {
    return Call([&] {
        if (info == nullptr) return Misuse("the result pointer is null");
        return HandOutRecord(IUserInfoInc::GetUserInfoFromServer(url, computer_id), info);
    });
}

wi_code wi_log_set_param(const char* config_text, const char* type, const char* source) {
    return Call([&] {
        IWebInteractive::GetLogInc()->SetParam(config_text, type, source);
        return WI_OK;
    });
}

wi_code wi_log_start(void) {
    return Call([&] {
        IWebInteractive::GetLogInc()->StartLog();
        return WI_OK;
    });
}

wi_code wi_log_save_one_log(const wi_record* entry) {
    return Call([&] {
        if (const wi_code wrong = CheckKind<LogInfo>(entry)) return wrong;
        IWebInteractive::GetLogInc()->SaveOneLog(std::get<LogInfo>(entry->value));
        return WI_OK;
    });
}

wi_code wi_log_stop(void) {
    return Call([&] {
        const auto upload = WatchUploads();
        const int result = IWebInteractive::GetLogInc()->StopLog();
        const std::string servlet = wi::log::LogAccess::CurrentRun().Servlet;
        return wi::capi::Uploaded(upload, result, servlet.c_str(),
                                  "the log has no Servlet address to upload to");
    });
}

}  // extern "C"
