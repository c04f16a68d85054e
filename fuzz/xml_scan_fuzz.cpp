// Fuzz target for the Windows backend's scan of a document before MSXML sees it (plain text work
// that builds here too): any bytes are decoded or refused without a crash, the text without its
// declaration is an end of the text, and for a text that libxml2 reads as well-formed the scan's
// verdict is libxml2's: no document type declaration, no element deeper than the bound, no start
// tag with more attributes than the bound.
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/win32/xml_scan.h"

namespace {

namespace scan = wi::xml::msxml;

// Small bounds, so that inputs reach them.
constexpr int kDepth = 6;
constexpr int kAttributes = 3;

// UTF-16 units (one a wchar_t) as UTF-8; false for a lone surrogate.
bool Utf8Of(const std::wstring& units, std::string& utf8) {
    utf8.clear();
    for (std::size_t at = 0; at < units.size(); ++at) {
        unsigned long c = static_cast<unsigned long>(units[at]) & 0xFFFF;
        if (c >= 0xD800 && c <= 0xDBFF && at + 1 < units.size() &&
            (units[at + 1] & 0xFC00) == 0xDC00) {
            c = 0x10000 + ((c - 0xD800) << 10) + ((units[++at] & 0xFFFF) - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            return false;
        }
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            utf8 += static_cast<char>(0xE0 | (c >> 12));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | (c >> 18));
            utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return true;
}

// Whether no element is deeper than `depth` and none has more than `attributes` attributes
// (namespace declarations are attributes in the text too).
bool TreeWithin(xmlNodePtr node, int depth, int attributes) {
    for (; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE) continue;
        if (depth < 1) return false;
        int count = 0;
        for (xmlAttrPtr a = node->properties; a; a = a->next) ++count;
        for (xmlNsPtr ns = node->nsDef; ns; ns = ns->next) ++count;
        if (count > attributes || !TreeWithin(node->children, depth - 1, attributes)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    (void)wi::xml::DeclaredEncoding(bytes);
    std::wstring text;
    if (!scan::DecodeBytes(wi::xml::DocumentEncoding(bytes), bytes, text)) {
        if (!text.empty()) std::abort();
        return 0;
    }
    const std::wstring body = scan::WithoutDeclaration(text);
    if (body.size() > text.size() ||
        text.compare(text.size() - body.size(), body.size(), body) != 0) {
        std::abort();
    }
    const bool within = scan::WithinBounds(body, kDepth, kAttributes);

    // libxml2 takes a NUL for the end of the text, where it may stop as at a well-formed end;
    // XML has no such character, and any parser refuses it.
    std::string utf8;
    if (body.find(L'\0') != std::wstring::npos || !Utf8Of(body, utf8)) return 0;
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                        XML_PARSE_IGNORE_ENC;
    xmlDocPtr doc = xmlReadMemory(utf8.data(), static_cast<int>(utf8.size()), nullptr, "UTF-8",
                                  options);
    if (!doc) return 0;  // not well-formed: the parser after the scan refuses it
    const bool expected =
        doc->intSubset == nullptr && TreeWithin(xmlDocGetRootElement(doc), kDepth, kAttributes);
    xmlFreeDoc(doc);
    if (within != expected) std::abort();
    return 0;
}
