// Hardened parsing with libxml2, and silence for its error reports, shared by the DOM.
#pragma once

#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <string>

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

// Parses an untrusted UTF-8 text into a new document (owned by the caller), or null when it is
// not a well-formed document, declares an entity or exceeds the attribute or depth bounds of
// xml_dom.h. An encoding its declaration names is ignored: every reader decodes its input to
// UTF-8 first, so that the bounds are checked on the text that libxml2 reads.
xmlDocPtr ParseUntrusted(const std::string& utf8);

// The encoding that the XML declaration at the start of the bytes names; "" when there is none.
std::string DeclaredEncoding(const std::string& bytes);

// The encoding of a file's bytes, as an XML parser finds it: by a byte order mark, else by "<" or
// "<?" laid out in UTF-32 or UTF-16, else as the declaration names, else UTF-8.
std::string DocumentEncoding(const std::string& bytes);

}  // namespace wi::xml::libxml2
