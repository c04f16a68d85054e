/// @file
/// What a host needs beyond the exported operations: the library's version, the machine the
/// library works on, the cancel events that long operations accept, and the records of the
/// documents the library writes, read back.
#pragma once

#include <cstddef>
#include <list>

#include "webinteractive/export.h"
#include "webinteractive/records.h"
#include "webinteractive/version.h"

/// What a host needs beyond the exported operations.
namespace IHostInc {
/// The version of the library loaded at run time, "MAJOR.MINOR.PATCH", and its number in the
/// form of WEBINTERACTIVE_VERSION_NUMBER; the macros of webinteractive/version.h tell the version
/// of the headers the host was compiled against.
WI_EXPORT const char* GetVersion();
/// The loaded library's version as a number (see GetVersion).
WI_EXPORT int GetVersionNumber();

/// Where the emulated Windows machine lives (posix). Null or empty returns to the default:
/// $WEBINTERACTIVE_PREFIX, else ~/.webinteractive. The prefix is created on first use.
/// No effect on Windows.
/// The machine's current directory is C:\ in every process, and no host changes it: a Windows
/// path without a drive ("x.txt", "..\x", "\x") names a place on C:, and "D:x" is "D:\x". The
/// host process's own working directory is never reached through a Windows path. On Windows,
/// relative paths resolve in the process's current directory, as in any Windows program.
WI_EXPORT void SetMachinePrefix(const char* prefix);
/// The prefix in use (posix), or "" on Windows.
WI_EXPORT const char* GetMachinePrefix();

/// The HTTP status of the last answer to this thread's last IWebInteractive::UploadFile (every
/// upload of the library goes through it: 200, or 401 when credentials did not help, 404, ...),
/// and of this thread's last IWebInteractive::DownloadFile (every list and file the library
/// fetches; the answer after the redirects it followed). 0 when that call received no answer (no
/// connection, a refused address) and before the thread's first call of that kind.
WI_EXPORT int GetLastUploadStatus();
/// The HTTP status of this thread's last download (see GetLastUploadStatus).
WI_EXPORT int GetLastDownloadStatus();

/// A new cancel event for the void* cancelEvent arguments; on Windows an event HANDLE. A
/// manual-reset event stays signalled until reset; an automatic one is reset by the test that
/// sees it.
WI_EXPORT void* CreateCancelEvent(bool manualReset);
/// Signals the event: the operations that test it stop.
WI_EXPORT void SignalCancelEvent(void* event);
/// Resets the event.
WI_EXPORT void ResetCancelEvent(void* event);
/// Frees the event.
WI_EXPORT void FreeCancelEvent(void* event);

// ---- the machine as the library sees it; each text is valid until the next call ----
/// The path of a special folder: 36 Windows, 37 system, 45 common templates, 46 common
/// documents; "" when the machine has none.
WI_EXPORT const char* GetSpecialFolderPath(int id);
/// The fixed drives the machine reports now, in letter order, separated by one space ("C: D:").
WI_EXPORT const char* GetFixedDrives();
/// A configuration value as the last Init left it: "UpUserUrl", "ReadUserUrl", "UpSysUrl",
/// "MachineNum" or "DownSysPatchsUrl"; "" for other names and before Init. The text stays valid
/// until the next Init.
WI_EXPORT const char* GetConfigValue(const char* key);

/// The bytes of a file of the machine (a Windows path, mapped as every operation maps it), with
/// their count in *size; null when it cannot be read or holds more than 128 MiB. Valid until the
/// next call on this thread.
WI_EXPORT const char* ReadMachineFile(const char* path, std::size_t* size);
/// Removes, in a folder of the machine (and with `tree` in every folder below it, at most 16
/// levels deep, not through links), the temporary files the library writes beside a file before
/// it takes its place (".~wi<process>-<n>"), which a process that ends abruptly leaves: with
/// `ownProcess` those of this process, otherwise those of processes that no longer run. Returns
/// how many were removed.
WI_EXPORT int RemovePartialFiles(const char* folder, bool tree, bool ownProcess);

/// Whether the host of an http or https address resolves to an IPv4 address, as the library's
/// transfers look it up: 1 when it does, 0 when it does not, -1 when there is nothing to look up
/// (no http or https address with a host, or an IPv6 address). *host (unless host is null)
/// receives the host name, "" for -1; valid until the next call on this thread.
WI_EXPORT int ResolveHostName(const char* url, const char** host);

// ---- the records of the documents the library writes, read back ----
/// The most bytes ReadRecordDocument reads: 32 MiB. A host reading a document from a file can
/// stop there rather than read a larger one whole.
WI_EXPORT std::size_t GetMaxDocumentBytes();
/// Reads the software records of a document the library writes: the file list document (a
/// download's or CreateFileListXml's), the upload file list, the install info document or the
/// software list, all with the root "softwares". The bytes are decoded by their byte order mark,
/// else by the layout of their first characters in UTF-16 or UTF-32, else as their declaration
/// names, else as UTF-8, into the narrow code page; entities are refused.
/// Each "Version" of a "software" gives one record: the base information of its "software"
/// ("BaseInfo" or "Baseinfo") plus its own values, files, dependences and configuration entries.
/// A "software" without "Version" (the software list) gives one record from its base information
/// alone. A missing element leaves the member at its initial value; an element the records do not
/// know is passed over. Numbers are read as the records hold them (32-bit integers, Size as a
/// 64-bit one, flags as 0 or 1); any other number text is an error, as is a "VersionInfo" whose
/// "GUID" differs from that of its base information. A document builds at most 250,000 records
/// (versions and their items) and copies at most 128 MiB of base information into its versions.
/// Returns 1 when the records were read: appended to `softs`, in document order. 0 when the
/// bytes are no document it reads: they cannot be decoded, hold more than GetMaxDocumentBytes()
/// or are no well-formed XML (the reason then ends with the line and column of the first error).
/// -1 when the document is well-formed but its records cannot be read: the root is not
/// "softwares", a value cannot be read (the reason names where: "software 2, version 1, file 7:
/// "Size" is not a 64-bit integer: ..."), or a bound is passed. `softs` is left as it was
/// unless 1. *error (unless error is null) receives the reason in one line, "" for 1; valid until
/// the next call on this thread.
WI_EXPORT int ReadRecordDocument(const char* bytes, std::size_t size,
                                 std::list<ISoftInfoInc::_SoftInfo>& softs, const char** error);

// ---- the narrow code page of the library's texts; each text is valid until the next call ----
/// A narrow text in UTF-8; null when it holds a sequence the narrow code page does not know.
WI_EXPORT const char* NarrowToUtf8(const char* narrow);
/// A UTF-8 text in the narrow code page; null when it is no UTF-8 or holds a character the code
/// page cannot hold.
WI_EXPORT const char* Utf8ToNarrow(const char* utf8);
/// The byte length of the narrow character that begins the `size` bytes at `text` (2 for a
/// double-byte character of GBK); 1 for a byte that begins no valid character or a character cut
/// off by the end, so that a walk always moves on; 0 when size is 0.
WI_EXPORT std::size_t NarrowCharLength(const char* text, std::size_t size);
}  // namespace IHostInc
