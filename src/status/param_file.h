// The file form of the host parameters: one parameter a line, "name=value", with backslash,
// carriage return, line feed and "=" escaped as \\, \r, \n and \= so any text survives.
#pragma once

#include <map>
#include <string>

namespace wi::status {

using ParameterMap = std::map<std::string, std::string>;

enum class LoadResult { kLoaded, kMissing, kUnreadable };

// Reads the file into parameters (emptied first). Lines that do not parse are skipped.
LoadResult LoadParameterFile(const std::string& path, ParameterMap& parameters);
// Writes the parameters to a temporary file beside the target and renames it over the target,
// so a reader sees either the old or the new file. False when it could not be written.
bool SaveParameterFile(const std::string& path, const ParameterMap& parameters);

// The line form of one parameter, and its reverse (false for a line that does not parse).
std::string EncodeParameterLine(const std::string& name, const std::string& value);
bool DecodeParameterLine(const std::string& line, std::string& name, std::string& value);

}  // namespace wi::status
