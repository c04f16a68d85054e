// The store's user document: one "software" (with "guid" and "protect_xml") per protected
// software, written from the protected-software table.
//
//   user / software / guid, protect_xml
#pragma once

#include <string>

namespace wi::store {

// Writes the whole table to a new temporary document named "UserTemp..." and returns its path;
// "" when no document can be made. A failed save raises xml::XmlError.
std::string SaveUserXml();

// Rewrites the stored user document without any pair of the GUID: nothing happens for an
// empty GUID or an empty table. Raises CXException when the stored document cannot be
// replaced, xml::XmlError when the temporary one cannot be saved.
void SaveUserXmlWithout(const std::string& guid);

}  // namespace wi::store
