// Bounds checked on a document's text before libxml2 sees it, for the work that libxml2 2.9
// does before any callback could stop it.
#pragma once

#include <cstddef>
#include <string>

namespace wi::xml::libxml2 {

// libxml2 checks the attributes of a start tag for duplicates pair by pair once it has read them
// all, before it reports the element: 200,000 attributes take many seconds there. This check is
// linear and goes piece by piece, so that a text handed to libxml2 in pieces is checked before
// libxml2 reads each piece. It counts, from every '<' that can open a start tag, the '=' outside
// quoted values up to the tag's '>' or the next '<'. Every attribute of a start tag has its own
// '=' there, and no start tag holds a '<', so the count never falls short; it can only count too
// many in start-tag-like text inside comments, CDATA sections or a document type, which no real
// document holds. The text is UTF-8 (any encoding in which every byte below 0x80 is that ASCII
// character serves).
class AttributeScan {
public:
    explicit AttributeScan(int maxAttributes) : max_(maxAttributes) {}
    // The next piece of the text; false once some start tag may hold more than the maximum.
    bool Feed(const char* text, std::size_t size);

private:
    enum class Place { kOutside, kAfterOpen, kInTag };
    const int max_;
    Place place_ = Place::kOutside;
    char quote_ = 0;
    int equals_ = 0;
};

// The same check on a whole text.
bool AttributeCountsWithin(const std::string& text, int maxAttributes);

}  // namespace wi::xml::libxml2
