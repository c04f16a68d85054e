// New files beside a file (named as platform/sibling_name.h says), and what puts one in its
// place: shared by the file operations of the platform module and by the replacement of host
// files (platform/host_file.h).
#pragma once

#include <cstddef>
#include <string>

#include "platform/win32/windows_api.h"

namespace wi::platform::win32 {

// A path of the host system in the ANSI code page as the wide path of the file calls; false for
// an empty path or one the code page does not hold. For the files shared with the status library,
// which has no code page conversion of its own.
bool HostWidePath(const std::string& narrow, std::wstring& wide);

// Writes every byte; false, with the system's last error set, otherwise.
bool WriteAll(HANDLE file, const void* data, std::size_t size);

// Creates a new, empty file in the destination's folder, open for writing only by this handle
// (INVALID_HANDLE_VALUE on failure); its path in `name`. The name is short and of its own: one
// built on the destination's could pass the file system's limit on names.
HANDLE CreateSibling(const std::wstring& destination, std::wstring& name);

// Removes the siblings in the destination's folder whose process no longer runs: a replacement
// killed before its rename left them. A process id that a running process took over keeps its
// sibling.
void RemoveStaleSiblings(const std::wstring& destination);

}  // namespace wi::platform::win32
