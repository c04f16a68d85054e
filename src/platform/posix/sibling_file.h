// New files beside a host file (named as platform/sibling_name.h says), and what puts one in its
// place: shared by the file operations of the platform module and by the replacement of host
// files (platform/host_file.h).
#pragma once

#include <cstddef>
#include <string>

namespace wi::platform::posix {

// Writes every byte, through interruptions and short writes; false with errno set otherwise.
bool WriteAll(int fd, const void* data, std::size_t size);

// Creates a new, empty file in the destination's directory (so that a rename onto the
// destination is atomic) and returns its descriptor; its path in `name`. The name is short and
// of its own, whatever the destination's: a name built on the destination's would pass the file
// system's limit on names. -1, with errno set, on failure.
int CreateSibling(const std::string& destination, std::string& name);

// Removes the siblings in the destination's folder whose process no longer runs: a replacement
// killed before its rename left them. A process id that a running process took over keeps its
// sibling: only a missing process proves it stale.
void RemoveStaleSiblings(const std::string& destination);

// Puts the folder entries of the path's folder on disk (a rename into it, say). Best effort: a
// file system that cannot flush a folder has nothing more to give.
void FlushFolderOf(const std::string& path);

}  // namespace wi::platform::posix
