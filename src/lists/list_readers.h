// The readers of the service's list documents, apart from their downloads, so that every reader
// can be driven with a document of any shape. Each streams its document (see platform/
// xml_stream.h) and gives false, with what it would fill left as it was, when the document does
// not parse or holds more than a list answer may build (list_stream.h); a list read in part
// before the fault is dropped.
#pragma once

#include <list>
#include <string>

#include "platform/xml_stream.h"
#include "webinteractive/records.h"

namespace wi::lists {

// A file list document: one record per "Version" of the first "software", appended to `softs`.
// `locked` is set to 0 and then to the "locked" of "BaseInfo", but only when the root is
// "softwares" with a "software" child. The cancel event (or null) is tested before every item of
// every part; a signalled test ends that part, and before a child of the software the reading.
// `guid` is the requested GUID, for the status lines.
bool ReadFileListDocument(xml::StreamSource source, const std::string& input,
                          const std::string& guid, int& locked, void* cancelEvent,
                          std::list<ISoftInfoInc::_SoftInfo>& softs);

// A latest-version document read into the one record: every "Version" of the first "software"
// merges into it (later values replace earlier ones, the collections gather all items). The
// record is not reset here.
bool ReadCertainFileListDocument(xml::StreamSource source, const std::string& input,
                                 const std::string& guid, ISoftInfoInc::_SoftInfo& record);

// A patch list document: one record per "Version" of every child of the root, appended to
// `softs`.
bool ReadPatchListDocument(xml::StreamSource source, const std::string& input,
                           std::list<ISoftInfoInc::_SoftInfo>& softs);

}  // namespace wi::lists
