// Bounds checked on a document's text before libxml2 sees it, for the work that libxml2 2.9
// does before any callback could stop it.
#pragma once

#include <string>

namespace wi::xml::libxml2 {

// False when some start tag of the text may hold more than `maxAttributes` attributes. The text
// is UTF-8 (any encoding in which every byte below 0x80 is that ASCII character serves).
//
// libxml2 checks the attributes of a start tag for duplicates pair by pair once it has read them
// all, before it reports the element: 200,000 attributes take many seconds there. This check is
// linear. It counts, from every '<' that can open a start tag, the '=' outside quoted values up to
// the tag's '>' or the next '<'. Every attribute of a start tag has its own '=' there, and no
// start tag holds a '<', so the count never falls short; it can only count too many in
// start-tag-like text inside comments, CDATA sections or a document type, which no real document
// holds.
bool AttributeCountsWithin(const std::string& text, int maxAttributes);

}  // namespace wi::xml::libxml2
