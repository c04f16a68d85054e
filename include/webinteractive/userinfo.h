// The user document's location, exchanged with the service, and the user information record.
#pragma once

#include <string>

#include "webinteractive/export.h"

namespace IWebInteractive {
// Reads the user-document path the service keeps for this machine; "" when none was read.
WI_EXPORT const char* ReadUserInfo();
// Reports the current user-document path to the service: 1 when it accepted it ("TRUE").
WI_EXPORT int UpdateUserInfo();
}  // namespace IWebInteractive

namespace IUserInfoInc {
struct UserInfo {
    std::string s1, s2, s3, s4, s5, s6;
    unsigned char b1 = 0, b2 = 0, b3 = 0;
    int n = 0;
};
WI_EXPORT const char* GetComputerID();
WI_EXPORT const char* CreateUserInfoXml(const UserInfo& info, const char* text);
WI_EXPORT int SaveUserInfoToLocal(const UserInfo& info);
WI_EXPORT const UserInfo& GetUserInfoFromLocal();
WI_EXPORT const UserInfo& GetUserInfoFromServer(const char* url, const char* computerId);
}  // namespace IUserInfoInc
