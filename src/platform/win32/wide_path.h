// Narrow paths of the ANSI code page for the wide (UTF-16) file calls.
#pragma once

#include <string>

namespace wi::platform::win32 {

// The path in UTF-16 for the file calls; false, with the last error set, for a text that holds a
// NUL or a byte sequence the code page does not know. A long path (from 200 characters) comes
// in its extended-length form (see ExtendedLengthPath), so that the calls take it beyond
// MAX_PATH.
bool ToWidePath(const std::string& narrow, std::wstring& wide);

// Text for the wide calls that take no file path (a command line): ToWidePath without the
// extended-length form.
bool ToWideText(const std::string& narrow, std::wstring& wide);

// The path made absolute and normalised by the system (GetFullPathNameW); empty when it cannot be.
std::wstring FullWidePath(const std::wstring& path);

// The "\\?\" form of a path ("\\?\UNC\server\share\..." for a share), made absolute and
// normalised first, as that form turns normalisation off: the file calls then take paths of up
// to 32,767 characters. A device name, or a path that cannot be made absolute, comes back as
// it is.
std::wstring ExtendedLengthPath(const std::wstring& path);

}  // namespace wi::platform::win32
