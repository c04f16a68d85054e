/// @file
/// Lists fetched from the service and single-file downloads: the software ID list, file lists,
/// the latest-version file list, patch lists, software, install and patch files.
#pragma once

#include <list>
#include <set>

#include "webinteractive/export.h"
#include "webinteractive/records.h"

namespace IWebInteractive {

/// The software ID set: fetched from the address (unchanged; the answer's bytes are read in the
/// narrow code page, or by the encoding their declaration names when they are not valid there),
/// or read from a list document's text in the narrow code page. Both operations empty the one
/// shared set first and return it; its contents change with the next call of either. A list that
/// cannot be fetched or read gives the empty set; DownloadSoftList raises nothing.
WI_EXPORT const std::set<ISoftInfoInc::_SoftID>& DownloadSoftList(const char* url);
/// The software ID set read from a list document's text (see DownloadSoftList).
WI_EXPORT const std::set<ISoftInfoInc::_SoftID>& ParseSoftIDList(const char* text);

/// The file list of one software, one record per version. DownloadFileList and ParsePatchsList
/// share the returned list and empty it first. `locked` is set to the document's "locked" value
/// (0 when it has none) only when the document has a "softwares" root with a "software" child, and
/// is left alone otherwise. cancelEvent (or null) is tested before every item: a signalled test
/// ends that loop, so a manual-reset event ends the whole reading and an auto-reset one the loop
/// that consumed it. Numbers beyond a member's range take the nearest value it holds. A document
/// that does not parse, or holds more than any list answer may (100,000 versions, 250,000 records
/// in all), gives the empty list and leaves `locked` alone.
WI_EXPORT const std::list<ISoftInfoInc::_SoftInfo>& DownloadFileList(
    const char* url, const char* guid, const char* specialCode, const char* pnVersion,
    int& locked, void* cancelEvent);
/// Fetches that document to a temporary path and returns the path ("" when nothing arrived). A body
/// beyond 128 MiB, more than the reader takes, ends the download as soon as it has arrived.
WI_EXPORT const char* SaveDownloadFileListXml(const char* url, const char* guid,
                                              const char* specialCode, const char* pnVersion);

/// The latest version of one software as one record (shared, changed by the next call that
/// downloads a document; a call whose download fails leaves it as it was).
WI_EXPORT const ISoftInfoInc::_SoftInfo& DownloadCertainFileList(const char* url, const char* guid,
                                                                 int version);
/// Fetches that document to a temporary path and returns the path ("" when nothing arrived).
WI_EXPORT const char* SaveCertainFileListXml(const char* url, const char* guid, int version);

/// The patch list document's text read into the list DownloadFileList returns; a text that does
/// not parse, or holds more than a list answer may, gives the empty list.
WI_EXPORT const std::list<ISoftInfoInc::_SoftInfo>& ParsePatchsList(const char* text);
/// Asks the service where the patch lies and downloads it to the templates folder; 1 with its
/// local path in pathBuffer (room for 285 bytes), 0 with pathBuffer empty.
WI_EXPORT int DownloadPatchFile(const char* url, const char* patchId, char* pathBuffer);

/// Single files. Each answers 1 when the file arrived; pathBuffer (the caller's, large enough
/// for the path) then holds the local path, otherwise the empty string. A software file goes to
/// the templates folder, named after its file code (type 1) or "DownFile", with the tick count.
WI_EXPORT int DownloadSoftFile(const char* url, const char* guid, const char* softCode,
                               const char* fileCode, int fileType, char* pathBuffer);
/// An install file: the service names its address, and it is stored as subdirileName under the
/// templates folder (the directory made first). cancelEvent (or null) stops the file's transfer.
WI_EXPORT int DownloadInstallFile(const char* url, const char* subdir, const char* fileName,
                                  char* pathBuffer, void* cancelEvent);
/// The same, stored as targetDirileName; subdir must not be empty but is not used.
WI_EXPORT int DownloadInstallFile1(const char* url, const char* subdir, const char* fileName,
                                   const char* targetDir, void* cancelEvent);
/// Tells the service to forget one file's information: 1 when it answered, whatever it said.
WI_EXPORT int RemoveFileInfo(const char*& url, const char*& guid, const char*& version,
                             const char*& characterCode);

}  // namespace IWebInteractive
