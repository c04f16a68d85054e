/// @file
/// The user document's location, exchanged with the service, and the user information record.
#pragma once

#include <string>

#include "webinteractive/export.h"

namespace IWebInteractive {
/// Reads the user-document path the service keeps for this machine (ReadUserUrl, MachineNum)
/// and makes it the library's. Only a path absolute on a fixed drive ("X:\...") counts: an answer
/// without one, or naming any other path (relative, network, no such drive), leaves the library's
/// path as it was and returns that. "" without UpUserUrl, or when the request fails or the answer
/// is not XML.
WI_EXPORT const char* ReadUserInfo();
/// Posts the library's user-document path and MachineNum to UpUserUrl: 1 when the reply begins
/// with "TRUE"; 0 otherwise and without UpUserUrl.
WI_EXPORT int UpdateUserInfo();
}  // namespace IWebInteractive

namespace IUserInfoInc {
/// The user information record: six texts, three bytes and a number. No operation fills it.
struct UserInfo {
    std::string s1;        ///< first text
    std::string s2;        ///< second text
    std::string s3;        ///< third text
    std::string s4;        ///< fourth text
    std::string s5;        ///< fifth text
    std::string s6;        ///< sixth text
    unsigned char b1 = 0;  ///< first byte
    unsigned char b2 = 0;  ///< second byte
    unsigned char b3 = 0;  ///< third byte
    int n = 0;             ///< the number
};
/// The computer ID: always "".
WI_EXPORT const char* GetComputerID();
/// The user information document: always "".
WI_EXPORT const char* CreateUserInfoXml(const UserInfo& info, const char* text);
/// 1 when the user information file "<Windows folder>\Tavrex.xml" exists; writes nothing.
WI_EXPORT int SaveUserInfoToLocal(const UserInfo& info);
/// The library's one user information record, reset.
WI_EXPORT const UserInfo& GetUserInfoFromLocal();
/// With a computer ID, one GET of url + "computerID=<id>" (not encoded), whose answer is dropped;
/// without one, no request.
WI_EXPORT const UserInfo& GetUserInfoFromServer(const char* url, const char* computerId);
}  // namespace IUserInfoInc
