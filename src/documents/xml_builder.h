// The steps every document writer repeats: value elements in the documents' common form, the
// text-form result that the text-returning writers share, and saving to a temporary file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/xml_dom.h"
#include "records/record_elements.h"

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

// The value elements of the record's members that the document holds, in the table's order;
// booleans and one-bit flags as "1" or "0".
template <typename Record, std::size_t N>
void AppendMembers(xml::Element& parent, const records::MemberElement<Record> (&members)[N],
                   const Record& record, records::Document document) {
    for (const records::MemberElement<Record>& member : members) {
        if (!member.In(document)) continue;
        switch (member.form) {
            case records::ValueForm::kText:
                AppendText(parent, member.name, record.*member.text);
                break;
            case records::ValueForm::kInt:
                AppendInt(parent, member.name, record.*member.number);
                break;
            case records::ValueForm::kInt64:
                AppendInt64(parent, member.name, record.*member.wide);
                break;
            case records::ValueForm::kBoolean:
                AppendFlag(parent, member.name, record.*member.boolean);
                break;
            case records::ValueForm::kFlag:
                AppendFlag(parent, member.name, member.getFlag(record));
                break;
        }
    }
}

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
