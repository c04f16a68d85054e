// The temporary files that the platform's writers make beside a file before it takes its place
// (a download, a copy, a replaced document): ".~wi<process id>-<number>" in the file's folder.
// One is renamed onto the file or removed when its writer ends, unless its process is killed
// first; a host may then remove those whose process is gone.
#pragma once

#include <string>

namespace wi::platform {

std::string TemporarySiblingName(unsigned long processId, unsigned number);
// True for such a name, with the id of the process that made it.
bool ReadTemporarySiblingName(const std::string& name, unsigned long& processId);

unsigned long CurrentProcessId();
// Whether a process of that id runs now (one this process may not signal counts as running).
bool ProcessIsRunning(unsigned long processId);

}  // namespace wi::platform
