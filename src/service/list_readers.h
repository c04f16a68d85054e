// The readers of the service's list documents, apart from their downloads, so that every reader
// can be driven with a document of any shape.
#pragma once

#include <list>
#include <string>

#include "platform/xml_dom.h"
#include "webinteractive/records.h"

namespace wi::service {

// A file list document: one record per "Version" of the first "software", appended to `softs`.
// `locked` is set to 0 and then to the "locked" of "BaseInfo", but only when the root is
// "softwares" with a "software" child. The cancel event (or null) is tested before every item of
// every loop; a signalled test ends that loop. `guid` is the requested GUID, for the status lines.
void ReadFileListDocument(const xml::Document& document, const std::string& guid, int& locked,
                          void* cancelEvent, std::list<ISoftInfoInc::_SoftInfo>& softs);

// A latest-version document read into the one record: every "Version" of the first "software"
// merges into it (later values replace earlier ones, the collections gather all items). The
// record is not reset here.
void ReadCertainFileListDocument(const xml::Document& document, const std::string& guid,
                                 ISoftInfoInc::_SoftInfo& record);

// A patch list document: one record per "Version" of every child of the root, appended to
// `softs`.
void ReadPatchListDocument(const xml::Document& document,
                           std::list<ISoftInfoInc::_SoftInfo>& softs);

}  // namespace wi::service
