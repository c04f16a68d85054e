// The libxml2 pieces the service's list builders share: reading a stored document as outside
// text, walking it without regard to the case of element names, and writing an answer.
#pragma once

#include <libxml/tree.h>

#include <filesystem>
#include <memory>
#include <string>

namespace wi::service {

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using Doc = std::unique_ptr<xmlDoc, DocFree>;

// The document in a file, read as the library reads outside documents: decoded to UTF-8 by its
// byte order mark or declaration, then parsed without network access, refusing entity
// declarations and bounded in attributes per element and depth. Nothing when the file is
// missing, larger than kMaxDocumentBytes, in an encoding that cannot be decoded, or not such a
// document.
Doc ParseDocument(const std::filesystem::path& path);

// A new document holding only its root element, which is returned through root.
Doc NewDocument(const char* rootName, xmlNode** root);

// True for an element of this name, compared without regard to case.
bool NameIs(const xmlNode* node, const char* name);

// The first child element of that name, or nullptr.
const xmlNode* Child(const xmlNode* parent, const char* name);

// The text of an element (all its text descendants); "" for nullptr.
std::string Text(const xmlNode* node);

// The text of a child element read as a whole number; 0 when missing or not a number.
long Number(const xmlNode* parent, const char* name);

// True when an element "GUID" somewhere below the node has exactly this text.
bool HoldsGuid(const xmlNode* node, const std::string& guid);

// Appends a deep copy of a node of another document.
xmlNode* AppendCopy(xmlNode* parent, const xmlNode* node);

// Appends an element holding a text.
void AddText(xmlNode* parent, const char* name, const std::string& text);

// The document as bytes in UTF-8, whatever the documents it was made from were written in: the
// service answers in one encoding, which every client reads.
std::string Serialise(xmlDoc* doc);

}  // namespace wi::service
