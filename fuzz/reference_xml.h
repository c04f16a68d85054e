// The oracle of the list targets: the document read with libxml2 directly and walked here,
// independently of the library's DOM and readers, by the rules the readers follow. A document
// the library must refuse (not well-formed, or declaring an entity) gives no tree; one that the
// library's bounds may refuse (too deep, or '=' enough for too many attributes in one tag) is
// marked as giving no verdict, and the targets compare nothing for it.
#pragma once

#include <iconv.h>
#include <langinfo.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <limits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace wi::fuzz {

// The narrow code page: that of the locale, UTF-8 where the locale names plain ASCII.
inline std::string ReferenceCodeset() {
    const char* name = nl_langinfo(CODESET);
    if (!name || !*name || std::strcmp(name, "ANSI_X3.4-1968") == 0 ||
        std::strcmp(name, "ASCII") == 0) {
        return "UTF-8";
    }
    return name;
}

// The bytes converted with iconv; false when some byte sequence is not valid in `from` or some
// character has no place in `to`.
inline bool ReferenceConvert(const std::string& from, const std::string& to,
                             const std::string& input, std::string& output) {
    output.clear();
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::vector<char> buffer(input.size() * 4 + 16);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char* out = buffer.data();
    std::size_t outLeft = buffer.size();
    const bool ok = iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1) &&
                    iconv(cd, nullptr, nullptr, &out, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (ok) output.assign(buffer.data(), out);
    return ok;
}

// UTF-8 text in the narrow code page, a character it cannot hold as '?'.
inline std::string ReferenceNarrow(const std::string& utf8) {
    const std::string codeset = ReferenceCodeset();
    if (codeset == "UTF-8") return utf8;
    std::string narrow, one;
    for (std::size_t at = 0; at < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        narrow += ReferenceConvert("UTF-8", codeset, utf8.substr(at, length), one) ? one : "?";
        at += length;
    }
    return narrow;
}

class ReferenceDocument {
public:
    enum Reading { kNarrowText, kUtf8Bytes };
    // Narrow text as a host hands it is read in the narrow code page, whatever it declares; bytes
    // known to be UTF-8 are read as such.
    explicit ReferenceDocument(const std::string& input, Reading reading = kNarrowText) {
        std::string utf8;
        const std::string from = reading == kNarrowText ? ReferenceCodeset() : "UTF-8";
        if (!ReferenceConvert(from, "UTF-8", input, utf8)) return;
        verdict_ = std::count(utf8.begin(), utf8.end(), '=') <= 256;
        const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                            XML_PARSE_IGNORE_ENC;
        doc_ = xmlReadMemory(utf8.data(), static_cast<int>(utf8.size()), nullptr, "UTF-8",
                             options);
        if (!doc_) return;
        const xmlDtdPtr dtd = doc_->intSubset;
        if (dtd && (dtd->entities || dtd->pentities)) {
            xmlFreeDoc(doc_);
            doc_ = nullptr;
            return;
        }
        if (Depth(xmlDocGetRootElement(doc_)) > 250) verdict_ = false;
    }
    ~ReferenceDocument() {
        if (doc_) xmlFreeDoc(doc_);
    }
    ReferenceDocument(const ReferenceDocument&) = delete;
    ReferenceDocument& operator=(const ReferenceDocument&) = delete;

    // False when the library's bounds may refuse the document: nothing is to be compared.
    bool Verdict() const { return verdict_; }
    // Null when the library must refuse the document.
    xmlNodePtr Root() const { return doc_ ? xmlDocGetRootElement(doc_) : nullptr; }

private:
    static int Depth(xmlNodePtr node) {
        int deepest = 0;
        for (xmlNodePtr child = node ? node->children : nullptr; child; child = child->next) {
            if (child->type == XML_ELEMENT_NODE) deepest = std::max(deepest, Depth(child));
        }
        return node ? deepest + 1 : 0;
    }

    xmlDocPtr doc_ = nullptr;
    bool verdict_ = false;
};

inline std::vector<xmlNodePtr> ChildElements(xmlNodePtr node) {
    std::vector<xmlNodePtr> children;
    for (xmlNodePtr child = node ? node->children : nullptr; child; child = child->next) {
        if (child->type == XML_ELEMENT_NODE) children.push_back(child);
    }
    return children;
}

inline std::string NameOf(xmlNodePtr node) {
    return node && node->name ? reinterpret_cast<const char*>(node->name) : "";
}

// The name compared without regard to ASCII letter case.
inline bool NamedAnyCase(xmlNodePtr node, const std::string& name) {
    const std::string own = NameOf(node);
    return own.size() == name.size() &&
           std::equal(own.begin(), own.end(), name.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

// The first child element of exactly this name, or null.
inline xmlNodePtr FirstNamed(xmlNodePtr node, const std::string& name) {
    for (xmlNodePtr child : ChildElements(node)) {
        if (NameOf(child) == name) return child;
    }
    return nullptr;
}

// All descendant text of the element, in the narrow code page.
inline std::string TextOf(xmlNodePtr node) {
    if (!node) return "";
    xmlChar* content = xmlNodeGetContent(node);
    std::string text = content ? reinterpret_cast<const char*>(content) : "";
    xmlFree(content);
    return ReferenceNarrow(text);
}

// The conversions of the list documents: a signed integer (white space, a sign, digits up to
// the first other character; none gives 0; beyond the type's range the nearest end of it), and a
// boolean (a nonzero 32-bit integer).
template <typename Integer>
Integer NumberOf(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && text[at] != '\0' && std::strchr(" \t\n\v\f\r", text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    __int128 value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = std::min<__int128>(value * 10 + (text[at] - '0'), __int128{1} << 100);
    }
    value = negative ? -value : value;
    const __int128 low = std::numeric_limits<Integer>::min();
    const __int128 high = std::numeric_limits<Integer>::max();
    return static_cast<Integer>(value < low ? low : value > high ? high : value);
}

inline int IntegerOf(const std::string& text) { return NumberOf<int>(text); }

// A value of a child element: its text read by `convert` when present, else `start`.
template <typename Value, typename Convert>
Value ValueOf(xmlNodePtr parent, const std::string& name, Value start, Convert convert) {
    const xmlNodePtr child = FirstNamed(parent, name);
    return child ? convert(TextOf(child)) : start;
}

inline std::string TextIn(xmlNodePtr parent, const std::string& name, const std::string& start) {
    return ValueOf(parent, name, start, [](const std::string& text) { return text; });
}

inline int IntegerIn(xmlNodePtr parent, const std::string& name, int start) {
    return ValueOf(parent, name, start, IntegerOf);
}

inline bool BooleanIn(xmlNodePtr parent, const std::string& name, bool start) {
    return ValueOf(parent, name, start,
                   [](const std::string& text) { return IntegerOf(text) != 0; });
}

}  // namespace wi::fuzz
