/// @file
/// The library frame: configuration, the log object, and the exported path and command utilities.
#pragma once

#include <string>

#include "webinteractive/export.h"
#include "webinteractive/log.h"

/// The library's exported operations.
namespace IWebInteractive {
/// Reads the configuration document text. 1 when every key was found or the root is not
/// "Logs"; 0 when the text does not parse or a key is missing.
WI_EXPORT int Init(const char* configText);
/// The process's single operation log object; never null.
WI_EXPORT CLogInc* GetLogInc();
/// A copy of the text without the characters 1 to 31; valid until this thread's next call.
WI_EXPORT const char* CleanString(std::string& text);
/// Runs the system's command interpreter with exactly these arguments, hidden, and waits.
WI_EXPORT void ExcuseDosCommand(std::string& arguments);
/// Creates every missing directory of the path with the command interpreter's mkdir.
WI_EXPORT void MakesureDirExist(std::string& path);
/// A path for a temporary XML document: "<common documents>\<baseName>HHMMSS<ms><thread>.xml"
/// (UTC), or "C:\Temp.xml" for a null or empty name. No path is handed out twice in a process:
/// a repeat gets "-2", "-3", ... before ".xml". Valid until this thread's next call.
WI_EXPORT const char* GetTempXmlFilePath(const char* baseName);
}  // namespace IWebInteractive

/// The user information operations.
namespace IUserInfoInc {
WI_EXPORT const char* GetComputerID();
}  // namespace IUserInfoInc
