// Checks and decoding done on a document's text before MSXML sees it, so that every input is
// bounded as xml_dom.h says whichever MSXML version answers, and decoded to UTF-16 by the
// backend itself. Pure text work, apart from the code page conversions of the platform seam.
#pragma once

#include <string>

#include "platform/common/xml_encoding.h"  // the encoding a document's bytes show or declare

namespace wi::xml::msxml {

// False when the UTF-16 text declares a document type (whatever it holds: no document the
// library reads has one, and refusing it rules out entities and external DTDs), nests elements
// deeper than `maxDepth`, or has a start tag with more than `maxAttributes` attributes. Linear in
// the text. Comments, CDATA sections and processing instructions are skipped; the scan reads a
// well-formed document exactly, and a malformed one is refused by the parser after it.
bool WithinBounds(const std::wstring& text, int maxDepth, int maxAttributes);

// The text without its XML declaration (and the line break after it), when it begins with one.
// MSXML is given documents already in UTF-16, so an encoding the declaration names must not
// be read again.
std::wstring WithoutDeclaration(const std::wstring& text);

// The bytes in UTF-16 as the named encoding says (UTF-16BE and UTF-32 here, every other name
// through platform::ConvertEncoding: UTF-8, UTF-16LE, gb2312, gbk, windows-1252 ...), any byte
// order mark dropped. False, with the text emptied, for an unknown encoding or bytes that are
// not valid in it.
bool DecodeBytes(const std::string& encoding, const std::string& bytes, std::wstring& text);

}  // namespace wi::xml::msxml
