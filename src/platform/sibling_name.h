// The names of the temporary siblings that replacements and copies write beside their
// destination before the rename: ".~wi<process id>-<counter>". A sibling whose process no
// longer runs was left by a process that was killed before its rename, and may go.
#pragma once

#include <string>

namespace wi::platform {

// The name of a new sibling of this process.
std::string SiblingName(unsigned long processId, unsigned counter);

// True when the name is a sibling's; `processId` is then the process that made it.
bool IsSiblingName(const std::string& name, unsigned long& processId);

// The id this process writes into its siblings' names.
unsigned long CurrentProcessId();
// False only when no process of that id runs: one this process may not look at counts as
// running, so that only a missing process marks its siblings stale.
bool ProcessRuns(unsigned long processId);

}  // namespace wi::platform
