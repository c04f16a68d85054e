// The file form of the host parameters: one parameter a line, "name=value", with backslash,
// carriage return, line feed and "=" escaped as \\, \r, \n and \= so any text survives.
#pragma once

#include <cstddef>
#include <map>
#include <string>

namespace wi::status {

using ParameterMap = std::map<std::string, std::string>;

enum class LoadResult { kLoaded, kMissing, kUnreadable };

// The largest parameter file read: a larger one counts as unreadable.
constexpr std::size_t kMaxParameterFileBytes = 16u << 20;

// Reads the file into parameters (emptied first). Lines that do not parse are skipped. Needs no
// lock: the file is only ever replaced whole.
LoadResult LoadParameterFile(const std::string& path, ParameterMap& parameters);
// Puts this process's changes into the file, which other processes may be changing too: under
// the lock of the file ("<path>.lock", beside it) the file is read again, the changes are put in
// and the file is replaced whole (written beside it under a name of its own, flushed, renamed
// over it). `merged` gets what the file holds afterwards. False, leaving the file as it was,
// when the lock cannot be had, the file exists but cannot be read, or it cannot be written.
bool SaveParameterChanges(const std::string& path, const ParameterMap& changes,
                          ParameterMap& merged);

// The line form of one parameter, and its reverse (false for a line that does not parse).
std::string EncodeParameterLine(const std::string& name, const std::string& value);
bool DecodeParameterLine(const std::string& line, std::string& name, std::string& value);

}  // namespace wi::status
