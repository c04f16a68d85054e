// Hardened parsing with libxml2, and silence for its error reports, shared by the DOM.
#pragma once

#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <string>

namespace wi::xml::libxml2 {

// Initialises libxml2 once for the process and installs an external entity loader that refuses
// everything. Thread-safe; every Document calls it.
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

// Parses untrusted bytes into a new document (owned by the caller), or null when they are not a
// well-formed document or declare an entity. A non-null `encoding` decodes the bytes by that
// encoding whatever their declaration names; null lets the declaration (or its absence: UTF-8)
// decide.
xmlDocPtr ParseUntrusted(const std::string& bytes, const char* encoding);

// The encoding that the XML declaration at the start of the bytes names; "" when there is none.
std::string DeclaredEncoding(const std::string& bytes);

}  // namespace wi::xml::libxml2
