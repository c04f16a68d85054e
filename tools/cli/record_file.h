// Software records read back from the documents the library writes, for the CLI's subcommands:
// the file is read here, its records by the loaded library (IHostInc::ReadRecordDocument, which
// describes the documents it reads and how).
#pragma once

#include <list>
#include <string>

#include "webinteractive/records.h"

namespace cli {

// ": " and the system's reason for the last failed call that set errno ("No such file or
// directory"); "" when it set none.
std::string SystemReason();

// Reads the file at a path of this host (not of the emulated machine) and appends its records to
// `softs`, in document order. False, with a one-line reason that names the file in `error`, when
// the file cannot be opened or read (with the system's reason), is larger than the library reads
// (refused before it is read whole), or its bytes give no records; `softs` is then left as it
// was.
bool ReadSoftInfoFile(const std::string& hostPath, std::list<ISoftInfoInc::_SoftInfo>& softs,
                      std::string& error);

// Why the bytes are no document the library reads (not decodable, too large, not well-formed,
// with the line and column of the first error), or "" when they are one.
std::string DocumentProblem(const std::string& bytes);

}  // namespace cli
