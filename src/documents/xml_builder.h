// The steps every document writer repeats: value elements in the documents' common form, the
// text-form result that the text-returning writers share, and saving to a temporary file.
#pragma once

#include <cstdint>
#include <string>

#include "platform/xml_dom.h"

namespace wi::documents {

// A value element whose text is the member's text with every byte that the narrow code page
// cannot read replaced by '?' (inc::ValidNarrowText) and without the characters 1 to 31. An
// empty text still gives the (empty) element. These throw xml::XmlError as the DOM does.
xml::Element AppendText(xml::Element& parent, const char* name, const std::string& text);
// A value element holding the integer in signed decimal ("%d").
xml::Element AppendInt(xml::Element& parent, const char* name, int value);
// A value element holding the full 64-bit value in signed decimal.
xml::Element AppendInt64(xml::Element& parent, const char* name, std::int64_t value);
// A value element holding "1" when the flag is set, else "0".
xml::Element AppendFlag(xml::Element& parent, const char* name, bool value);
// A value element without content.
xml::Element AppendEmpty(xml::Element& parent, const char* name);

// The process-global text result of the text-returning writers: valid until the next call of
// any of them. Empties it and returns its characters.
const char* ClearTextResult();
// Empties it, then fills it with the document's text form; stays empty when the document cannot
// be serialised or converted. Returns its characters.
const char* StoreTextResult(const xml::Document& document);

// Saves the document to a new path from IWebInteractive::GetTempXmlFilePath with this base name
// and returns that path (a copy). Throws xml::XmlError when the file cannot be written.
std::string SaveToTempFile(const xml::Document& document, const char* baseName);

}  // namespace wi::documents
