/// @file
/// Software description documents and their uploads: the software list, the file list, the
/// upload file list, install information, system information and software files.
#pragma once

#include <list>
#include <set>

#include "webinteractive/export.h"
#include "webinteractive/records.h"

namespace IWebInteractive {

/// The software list document as text (narrow code page); valid until the next call of a
/// text-returning document writer.
WI_EXPORT const char* CreateSoftListXml(const std::set<ISoftInfoInc::_SoftID>& ids);
/// Saves that document in GB2312 under a temporary "UpSoftTempXml" name, posts it (UploadFile) and
/// deletes it: UploadFile's result. A temporary file that cannot be written throws
/// std::runtime_error before any request.
WI_EXPORT int UploadSoftList(const char* url, const std::set<ISoftInfoInc::_SoftID>& ids);
/// The file list document as text (narrow code page), with its status lines and log entries.
WI_EXPORT const char* CreateFileListXml(const std::list<ISoftInfoInc::_SoftInfo>& softs);
/// The file list with "Baseinfo", saved in GB2312 to the path (replacing any file there), without
/// status lines or log entries; an empty list writes nothing. Throws std::runtime_error when the
/// file cannot be written.
WI_EXPORT void SaveUploadFileListXml(const char* path,
                                     const std::list<ISoftInfoInc::_SoftInfo>& softs);
/// Saves that document under a temporary "UpFileListTemp" name, posts it (UploadFile) and
/// deletes it: UploadFile's result; 0 without a request for an empty list or when no document
/// could be made. A temporary file that cannot be written throws as the save does, before any
/// request.
WI_EXPORT int UploadFileList(const char* url, const std::list<ISoftInfoInc::_SoftInfo>& softs);
/// The install info document saved in GB2312 under a temporary "UpInstallInfoTemp" name: its path
/// (GetTempXmlFilePath's result). Throws std::runtime_error when the file cannot be written.
WI_EXPORT const char* SaveInstallInfoXml(const ISoftInfoInc::_SoftInfo& soft);
/// Saves, posts and deletes that document: the service's reply (at most 1023 bytes), "" when the
/// upload failed; valid until this thread's next call. Throws as the save does, before any request.
WI_EXPORT const char* UploadFileInfo(const char* url, const ISoftInfoInc::_SoftInfo& soft);
/// Writes the system information document (operating system, kernel, processor, memory, fixed
/// drives) to "<common templates>\systeminfo.xml" ("C:\systeminfo.xml" without that folder) and
/// returns its path; "" when it could not be written. Valid until this thread's next call.
WI_EXPORT const char* SaveUpSysInfoXml();
/// Posts that document to UpSysUrl with "machinenum=" MachineNum and deletes it: 1 when the reply
/// begins with "TRUE", else 0. Without a document the body is empty.
WI_EXPORT int UpdateSysInfo();
/// Posts the local file (not deleted) to the address with "filename=<first>\<second>", each part
/// percent-encoded and the backslash as it is: UploadFile's result; 0 without a request when the
/// first part is empty.
WI_EXPORT int UploadSoftFiles(const char* url, const char* firstName, const char* secondName,
                              const char* localPath);

}  // namespace IWebInteractive
