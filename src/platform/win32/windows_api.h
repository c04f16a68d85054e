// <windows.h> for the win32 backend, without the macros that would rename the platform's own
// functions of the same names (DeleteFile would become DeleteFileA in the files module's
// definitions, and its callers, which see no <windows.h>, would not find it).
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef CopyFile
#undef CreateDirectory
#undef DeleteFile
#undef GetFileAttributes
#undef RemoveDirectory
#undef SetFileAttributes
