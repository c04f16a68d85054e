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

/// ---- host side ----
/// Receives every status line, in the narrow code page, without a line end.
using StatusSink = void (*)(const char* line, void* context);
/// Installs the sink; null restores the default, which writes each line and a line feed to stderr.
WI_STATUS_EXPORT void SetStatusSink(StatusSink sink, void* context);
/// Persists the parameters to this file: they are replaced by the file's now (none when it does
/// not exist) and the file is rewritten, atomically, on every SaveParam. Lines of the file that
/// do not parse are skipped. An empty or null path keeps the parameters in memory only.
/// Returns false, changing nothing, when the file exists but cannot be read.
WI_STATUS_EXPORT bool SetParamFile(const char* path);
}  // namespace IHelperInc
