// Whole files of the host system outside the emulated machine, such as the parameter file of the
// status library. Stateless: the status library, which has no machine of its own, compiles this
// in as the platform module does.
#pragma once

#include <string>

namespace wi::platform {

// Puts `content` in place of the file at `path` (a path of the host system, narrow, in the narrow
// code page): the content is written to a new file of a name of its own beside it (".~wi", the
// process id and a counter), flushed to disk and renamed over the file, and on posix the folder
// is flushed after the rename. A reader, another writer or a power loss finds the old file or
// the whole new one, never a mixture or no file. False, leaving the old file as it was and no
// new file behind, when it cannot be done.
bool ReplaceHostFile(const std::string& path, const std::string& content);

}  // namespace wi::platform
