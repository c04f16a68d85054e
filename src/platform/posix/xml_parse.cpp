#include "platform/posix/xml_parse.h"

#include "platform/posix/xml_bounds.h"
#include "platform/xml_dom.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <mutex>

namespace wi::xml::libxml2 {

namespace {

void DiscardError(void*, xmlErrorPtr) {}

thread_local ParseErrorPosition lastErrorPosition;

// The errors of a parse stay silent; the place of the first is kept.
void KeepFirstErrorPosition(void*, xmlErrorPtr error) {
    if (lastErrorPosition.line == 0 && error != nullptr && error->line > 0) {
        lastErrorPosition.line = error->line;
        lastErrorPosition.column = error->int2;
    }
}

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
void RefuseEntity(void* context, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*) {
    RefuseInput(context);
}

void RefuseUnparsedEntity(void* context, const xmlChar*, const xmlChar*, const xmlChar*,
                          const xmlChar*) {
    RefuseInput(context);
}

ParseState& StateOf(void* context) {
    return *static_cast<ParseState*>(static_cast<xmlParserCtxtPtr>(context)->_private);
}

// An element deeper than kMaxDepth ends the parse before it joins the tree.
void StartElementWithinDepth(void* context, const xmlChar* localName, const xmlChar* prefix,
                             const xmlChar* uri, int namespaceCount, const xmlChar** namespaces,
                             int attributeCount, int defaultedCount, const xmlChar** attributes) {
    if (!EnterElement(context)) return;
    xmlSAX2StartElementNs(context, localName, prefix, uri, namespaceCount, namespaces,
                          attributeCount, defaultedCount, attributes);
}

void EndElement(void* context, const xmlChar* localName, const xmlChar* prefix,
                const xmlChar* uri) {
    LeaveElement(context);
    xmlSAX2EndElementNs(context, localName, prefix, uri);
}

// Attributes a document type declares with a default are added to every start tag of their
// element, through the same pairwise checks as written ones: more than kMaxAttributesPerElement
// declarations end the parse.
void DeclareAttributeWithinBound(void* context, const xmlChar* element, const xmlChar* name,
                                 int type, int def, const xmlChar* defaultValue,
                                 xmlEnumerationPtr values) {
    if (++StateOf(context).declaredAttributes > kMaxAttributesPerElement) {
        xmlFreeEnumeration(values);
        RefuseInput(context);
        return;
    }
    xmlSAX2AttributeDecl(context, element, name, type, def, defaultValue, values);
}

}  // namespace

void Initialise() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

void ForgetErrorPosition() { lastErrorPosition = ParseErrorPosition(); }

void RefuseInput(void* context) {
    auto* parser = static_cast<xmlParserCtxtPtr>(context);
    parser->wellFormed = 0;
    xmlStopParser(parser);
}

bool EnterElement(void* context) {
    ParseState& state = StateOf(context);
    if (state.depth >= kMaxDepth) {
        RefuseInput(context);
        return false;
    }
    ++state.depth;
    return true;
}

void LeaveElement(void* context) { --StateOf(context).depth; }

Parser NewUntrustedParser(ParseState& state) {
    Initialise();
    Parser parser(xmlNewParserCtxt());
    if (!parser) return parser;
    parser->_private = &state;
    // The SAX2 handlers as they are by default, not as the host's settings of libxml2's global
    // defaults (xmlKeepBlanksDefault and the like) made them for a new context.
    xmlSAXVersion(parser->sax, 2);
    parser->sax->serror = KeepFirstErrorPosition;  // errors of this parse, silent
    parser->sax->resolveEntity = RefuseExternalResource;
    parser->sax->externalSubset = IgnoreExternalSubset;
    parser->sax->entityDecl = RefuseEntity;
    parser->sax->unparsedEntityDecl = RefuseUnparsedEntity;
    parser->sax->attributeDecl = DeclareAttributeWithinBound;
    parser->sax->startElementNs = StartElementWithinDepth;
    parser->sax->endElementNs = EndElement;
    return parser;
}

namespace {

constexpr int kParseOptions =
    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_IGNORE_ENC;

// The pieces of a parse as libxml2 asks for them.
struct PieceReader {
    Utf8Pieces& pieces;
    AttributeScan scan;
    bool failed = false;

    static int Read(void* context, char* buffer, int size) {
        PieceReader& reader = *static_cast<PieceReader*>(context);
        const int got = reader.pieces.Read(buffer, size);
        if (got < 0 || !reader.scan.Feed(buffer, static_cast<std::size_t>(got))) {
            reader.failed = true;
            return -1;
        }
        return got;
    }
};

}  // namespace

xmlDocPtr ReadUntrusted(xmlParserCtxtPtr parser, const std::string& utf8) {
    if (utf8.size() > static_cast<std::size_t>(INT_MAX) ||
        !AttributeCountsWithin(utf8, kMaxAttributesPerElement)) {
        return nullptr;
    }
    SilentErrors silent;
    return xmlCtxtReadMemory(parser, utf8.data(), static_cast<int>(utf8.size()), nullptr, "UTF-8",
                             kParseOptions);
}

xmlDocPtr ReadUntrusted(xmlParserCtxtPtr parser, Utf8Pieces& pieces) {
    PieceReader reader{pieces, AttributeScan(kMaxAttributesPerElement)};
    SilentErrors silent;  // libxml2 reports a failed read without the parser's context
    xmlDocPtr document = xmlCtxtReadIO(parser, &PieceReader::Read, nullptr, &reader, nullptr,
                                       "UTF-8", kParseOptions);
    if (reader.failed) {
        xmlFreeDoc(document);
        return nullptr;
    }
    return document;
}

xmlDocPtr ParseUntrusted(const std::string& utf8) {
    ParseState state;
    Parser parser = NewUntrustedParser(state);
    return parser ? ReadUntrusted(parser.get(), utf8) : nullptr;
}

}  // namespace wi::xml::libxml2

namespace wi::xml {

ParseErrorPosition LastParseErrorPosition() { return libxml2::lastErrorPosition; }

}  // namespace wi::xml
