#include "platform/posix/xml_parse.h"

#include "platform/posix/xml_bounds.h"
#include "platform/xml_dom.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <cstring>
#include <memory>
#include <mutex>

namespace wi::xml::libxml2 {

namespace {

void DiscardError(void*, xmlErrorPtr) {}

}  // namespace

SilentErrors::SilentErrors()
    : handler_(xmlStructuredError), context_(xmlStructuredErrorContext) {
    xmlSetStructuredErrorFunc(nullptr, DiscardError);
}

SilentErrors::~SilentErrors() { xmlSetStructuredErrorFunc(context_, handler_); }

namespace {

// External entities and DTDs are never loaded by the library's parses. The parse options leave
// the external subset and external entities unread already; these handlers of the library's own
// contexts refuse them besides, whatever external entity loader the host has installed. The
// process-wide loader stays the host's.
xmlParserInputPtr RefuseExternalResource(void*, const xmlChar*, const xmlChar*) {
    return nullptr;
}

void IgnoreExternalSubset(void*, const xmlChar*, const xmlChar*, const xmlChar*) {}

// Any entity declaration ends the parse as not well-formed, before any expansion can happen.
void Refuse(void* context) {
    auto* parser = static_cast<xmlParserCtxtPtr>(context);
    parser->wellFormed = 0;
    xmlStopParser(parser);
}

void RefuseEntity(void* context, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*) {
    Refuse(context);
}

void RefuseUnparsedEntity(void* context, const xmlChar*, const xmlChar*, const xmlChar*,
                          const xmlChar*) {
    Refuse(context);
}

// What one parse has counted so far.
struct ParseCounts {
    int declaredAttributes = 0;
};

// An element deeper than kMaxDepth ends the parse before it joins the tree.
void StartElementWithinDepth(void* context, const xmlChar* localName, const xmlChar* prefix,
                             const xmlChar* uri, int namespaceCount, const xmlChar** namespaces,
                             int attributeCount, int defaultedCount, const xmlChar** attributes) {
    auto* parser = static_cast<xmlParserCtxtPtr>(context);
    if (parser->nodeNr >= kMaxDepth) {
        Refuse(context);
        return;
    }
    xmlSAX2StartElementNs(context, localName, prefix, uri, namespaceCount, namespaces,
                          attributeCount, defaultedCount, attributes);
}

// Attributes a document type declares with a default are added to every start tag of their
// element, through the same pairwise checks as written ones: more than kMaxAttributesPerElement
// declarations end the parse.
void DeclareAttributeWithinBound(void* context, const xmlChar* element, const xmlChar* name,
                                 int type, int def, const xmlChar* defaultValue,
                                 xmlEnumerationPtr values) {
    auto* parser = static_cast<xmlParserCtxtPtr>(context);
    auto* counts = static_cast<ParseCounts*>(parser->_private);
    if (++counts->declaredAttributes > kMaxAttributesPerElement) {
        xmlFreeEnumeration(values);
        Refuse(context);
        return;
    }
    xmlSAX2AttributeDecl(context, element, name, type, def, defaultValue, values);
}

struct ParserDeleter {
    void operator()(xmlParserCtxtPtr parser) const { xmlFreeParserCtxt(parser); }
};

}  // namespace

void Initialise() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
    });
}

xmlDocPtr ParseUntrusted(const std::string& utf8) {
    if (utf8.size() > static_cast<std::size_t>(INT_MAX) ||
        !AttributeCountsWithin(utf8, kMaxAttributesPerElement)) {
        return nullptr;
    }
    Initialise();
    SilentErrors silent;
    std::unique_ptr<xmlParserCtxt, ParserDeleter> parser(xmlNewParserCtxt());
    if (!parser) {
        return nullptr;
    }
    ParseCounts counts;
    parser->_private = &counts;
    // The SAX2 handlers as they are by default, not as the host's settings of libxml2's global
    // defaults (xmlKeepBlanksDefault and the like) made them for a new context.
    xmlSAXVersion(parser->sax, 2);
    parser->sax->serror = DiscardError;  // errors of this parse, silent
    parser->sax->resolveEntity = RefuseExternalResource;
    parser->sax->externalSubset = IgnoreExternalSubset;
    parser->sax->entityDecl = RefuseEntity;
    parser->sax->unparsedEntityDecl = RefuseUnparsedEntity;
    parser->sax->attributeDecl = DeclareAttributeWithinBound;
    parser->sax->startElementNs = StartElementWithinDepth;

    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                        XML_PARSE_IGNORE_ENC;
    return xmlCtxtReadMemory(parser.get(), utf8.data(), static_cast<int>(utf8.size()), nullptr,
                             "UTF-8", options);
}

std::string DocumentEncoding(const std::string& bytes) {
    // Byte order marks first (UTF-32's before UTF-16's, which begin alike), then "<" or "<?" in
    // UTF-32 or UTF-16 without one.
    static const struct {
        const char* start;
        std::size_t length;
        const char* encoding;
    } kSignatures[] = {
        {"\xEF\xBB\xBF", 3, "UTF-8"},   {"\xFF\xFE\0\0", 4, "UTF-32LE"},
        {"\0\0\xFE\xFF", 4, "UTF-32BE"}, {"\xFF\xFE", 2, "UTF-16LE"},
        {"\xFE\xFF", 2, "UTF-16BE"},     {"<\0\0\0", 4, "UTF-32LE"},
        {"\0\0\0<", 4, "UTF-32BE"},     {"<\0?\0", 4, "UTF-16LE"},
        {"\0<\0?", 4, "UTF-16BE"},
    };
    for (const auto& signature : kSignatures) {
        if (bytes.compare(0, signature.length, signature.start, signature.length) == 0) {
            return signature.encoding;
        }
    }
    const std::string declared = DeclaredEncoding(bytes);
    return declared.empty() ? "UTF-8" : declared;
}

std::string DeclaredEncoding(const std::string& bytes) {
    static const char kBom[] = "\xEF\xBB\xBF";
    std::size_t start = bytes.compare(0, 3, kBom) == 0 ? 3 : 0;
    if (bytes.compare(start, 5, "<?xml") != 0) {
        return "";
    }
    const std::size_t end = bytes.find("?>", start);
    const std::string declaration =
        bytes.substr(start, end == std::string::npos ? std::string::npos : end - start);
    std::size_t at = declaration.find("encoding");
    if (at == std::string::npos) {
        return "";
    }
    at = declaration.find_first_not_of(" \t\r\n", at + std::strlen("encoding"));
    if (at == std::string::npos || declaration[at] != '=') {
        return "";
    }
    at = declaration.find_first_not_of(" \t\r\n", at + 1);
    if (at == std::string::npos || (declaration[at] != '"' && declaration[at] != '\'')) {
        return "";
    }
    const std::size_t close = declaration.find(declaration[at], at + 1);
    if (close == std::string::npos) {
        return "";
    }
    return declaration.substr(at + 1, close - at - 1);
}

}  // namespace wi::xml::libxml2
