// Reading the service's software ID list: the parse shared by the exported operations.
#pragma once

#include <set>
#include <string>

#include "webinteractive/records.h"

namespace wi::lists {

// Empties the process-global software ID set (the one DownloadSoftList and ParseSoftIDList
// return) and fills it from a list answer as it came from the service: its bytes read in
// the narrow code page, or by the encoding their declaration names when they are not valid there.
// Bytes that do not parse, a root other than "softwares" or more softwares than a list answer
// may build (list_stream.h) leave the set empty.
const std::set<ISoftInfoInc::_SoftID>& ParseSoftIDBytes(const std::string& bytes);

}  // namespace wi::lists
