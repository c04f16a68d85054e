/// @file
/// The status library: status lines for the host's user, and named parameters.
#pragma once

#include <string>

#include "webinteractive/export.h"

/// The status library: status lines and named parameters.
namespace IHelperInc {
/// Formats a printf-style line and hands it to the installed sink.
WI_STATUS_EXPORT void MakeStatus(const char* format, ...);
/// Hands a finished line to the installed sink.
WI_STATUS_EXPORT void SetStatus(std::string& line);
/// The value last saved under the name, or an empty string; valid until the next call.
WI_STATUS_EXPORT std::string& ReadParam(std::string& name);
/// Saves the value under the name (and in the parameter file, when one is set).
WI_STATUS_EXPORT void SaveParam(std::string& name, std::string& value);

// ---- host side ----
/// Receives every status line, in the narrow code page, without a line end.
using StatusSink = void (*)(const char* line, void* context);
/// Installs the sink; null restores the default, which writes each line and a line feed to stderr.
WI_STATUS_EXPORT void SetStatusSink(StatusSink sink, void* context);
/// Persists the parameters to this file: they are replaced by the file's now (none when it does
/// not exist) and the file is rewritten on every SaveParam. Lines of the file that do not parse
/// are skipped. An empty or null path keeps the parameters in memory only.
/// Returns false, changing nothing, when the file exists but cannot be read.
///
/// Several processes may share one file. A save merges: it reads the file again, under a lock
/// the processes share (the file "<path>.lock", created beside it and left there), puts in the
/// values this process has saved, and keeps every other value as it finds it, also those
/// another process saved since this one read the file; where two processes save one name, the
/// later save wins. The new file is flushed to disk and renamed over the old one, so that a
/// reader, another process or a power loss finds the old file or the whole new one, never a
/// mixture or no file. ReadParam answers from memory: the file as this process last read it (at
/// SetParamFile or at its last save) with this process's values. A save that cannot be made (no
/// lock, the file unreadable or not writable) keeps the value in memory and the file as it was;
/// the next save that succeeds writes it as well. A file of more than 16 MiB counts as
/// unreadable: SetParamFile answers false for it and no save replaces it.
WI_STATUS_EXPORT bool SetParamFile(const char* path);
}  // namespace IHelperInc
