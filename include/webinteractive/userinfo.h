// The user document's location, exchanged with the service, and the user information record.
#pragma once

#include <string>

#include "webinteractive/export.h"

namespace IWebInteractive {
// Reads the user-document path the service keeps for this machine (ReadUserUrl, MachineNum)
// and makes it the library's. Only a path absolute on a fixed drive ("X:\...") counts: an answer
// without one, or naming any other path (relative, network, no such drive), leaves the library's
// path as it was and returns that. "" without UpUserUrl, or when the request fails or the answer
// is not XML.
WI_EXPORT const char* ReadUserInfo();
// Posts the library's user-document path and MachineNum to UpUserUrl: 1 when the reply begins
// with "TRUE"; 0 otherwise and without UpUserUrl.
WI_EXPORT int UpdateUserInfo();
}  // namespace IWebInteractive

namespace IUserInfoInc {
struct UserInfo {
    std::string s1, s2, s3, s4, s5, s6;
    unsigned char b1 = 0, b2 = 0, b3 = 0;
    int n = 0;
};
// No operation fills the record: each hands out the library's one record, reset.
WI_EXPORT const char* GetComputerID();  // always ""
WI_EXPORT const char* CreateUserInfoXml(const UserInfo& info, const char* text);  // always ""
// 1 when the user information file "<Windows folder>\Tavrex.xml" exists; writes nothing.
WI_EXPORT int SaveUserInfoToLocal(const UserInfo& info);
WI_EXPORT const UserInfo& GetUserInfoFromLocal();
// With a computer ID, one GET of url + "computerID=<id>" (not encoded), whose answer is dropped;
// without one, no request.
WI_EXPORT const UserInfo& GetUserInfoFromServer(const char* url, const char* computerId);
}  // namespace IUserInfoInc
