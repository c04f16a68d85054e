// Hardened parsing with libxml2, and silence for its error reports, shared by the DOM and the
// streamed reads.
#pragma once

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <memory>
#include <string>

#include "platform/posix/xml_input.h"  // the inputs of a parse, decoded to UTF-8

namespace wi::xml::libxml2 {

// Initialises libxml2 once for the process; no process-wide setting of libxml2 is changed, so
// that a host using libxml2 too keeps its own. Thread-safe; every Document calls it.
void Initialise();

// libxml2 reports errors raised without a parser context (the encoding layer's, the
// serialiser's) to the thread's structured handler, or else prints them. This guard drops them
// for its lifetime on its thread and then restores the caller's handler; other threads and the
// rest of the process keep theirs.
class SilentErrors {
public:
    SilentErrors();
    ~SilentErrors();
    SilentErrors(const SilentErrors&) = delete;
    SilentErrors& operator=(const SilentErrors&) = delete;

private:
    xmlStructuredErrorFunc handler_;
    void* context_;
};

// Clears this thread's LastParseErrorPosition at the start of a parse.
void ForgetErrorPosition();

// What one parse counts, reached through its context's _private.
struct ParseState {
    int depth = 0;  // elements open
    int declaredAttributes = 0;
    void* stream = nullptr;  // the streamed read the parse serves, if any
};

struct ParserDeleter {
    void operator()(xmlParserCtxtPtr parser) const { xmlFreeParserCtxt(parser); }
};
using Parser = std::unique_ptr<xmlParserCtxt, ParserDeleter>;

// A parser context of the library's own, for one parse: its errors silent, every entity
// declaration refused before any expansion, external resources refused, the attribute
// declarations and the depth within the bounds of xml_dom.h, the SAX2 handlers building a tree.
// A streamed read replaces the element and content handlers; its element handlers call
// EnterElement and LeaveElement. Null when libxml2 cannot make one.
Parser NewUntrustedParser(ParseState& state);

// For a start-of-element handler: counts the element in; false, with the input refused, when it
// lies deeper than kMaxDepth.
bool EnterElement(void* context);
// For an end-of-element handler.
void LeaveElement(void* context);
// Ends the parse from a handler; the input counts as not well-formed.
void RefuseInput(void* context);

// Parses an untrusted UTF-8 text with the context into a new document (owned by the caller), or
// null when it is not a well-formed document, declares an entity or exceeds the attribute or
// depth bounds. An encoding its declaration names is ignored: every reader decodes its input to
// UTF-8 first, so that the bounds are checked on the text that libxml2 reads.
xmlDocPtr ReadUntrusted(xmlParserCtxtPtr parser, const std::string& utf8);
// The same with a context of its own.
xmlDocPtr ParseUntrusted(const std::string& utf8);
// The same with the text handed over piece by piece, each piece checked against the attribute
// bound before libxml2 reads it; null also when the pieces fail.
xmlDocPtr ReadUntrusted(xmlParserCtxtPtr parser, Utf8Pieces& pieces);

}  // namespace wi::xml::libxml2
