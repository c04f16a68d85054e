#include "xml_tree.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/codepage.h"
#include "platform/posix/xml_parse.h"
#include "xml_lists.h"

namespace fs = std::filesystem;

namespace wi::service {

Doc ParseDocument(const fs::path& path) {
    std::error_code error;
    const auto size = fs::file_size(path, error);
    if (error || size > kMaxDocumentBytes) return nullptr;
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.size() > kMaxDocumentBytes) return nullptr;  // grown since it was measured
    const std::string encoding = xml::DocumentEncoding(bytes);
    if (xmlStrcasecmp(reinterpret_cast<const xmlChar*>(encoding.c_str()),
                      reinterpret_cast<const xmlChar*>("UTF-8")) == 0) {
        return Doc(xml::libxml2::ParseUntrusted(bytes));
    }
    std::string utf8;
    if (!platform::ConvertEncoding(encoding, "UTF-8", bytes, utf8)) return nullptr;
    return Doc(xml::libxml2::ParseUntrusted(utf8));
}

Doc NewDocument(const char* rootName, xmlNode** root) {
    Doc doc(xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0")));
    *root = xmlNewNode(nullptr, reinterpret_cast<const xmlChar*>(rootName));
    xmlDocSetRootElement(doc.get(), *root);
    return doc;
}

bool NameIs(const xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE &&
           xmlStrcasecmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

const xmlNode* Child(const xmlNode* parent, const char* name) {
    if (!parent) return nullptr;
    for (const xmlNode* child = parent->children; child; child = child->next) {
        if (NameIs(child, name)) return child;
    }
    return nullptr;
}

std::string Text(const xmlNode* node) {
    if (!node) return {};
    xmlChar* content = xmlNodeGetContent(node);
    std::string text = content ? reinterpret_cast<const char*>(content) : "";
    xmlFree(content);
    return text;
}

long Number(const xmlNode* parent, const char* name) {
    return std::strtol(Text(Child(parent, name)).c_str(), nullptr, 10);
}

bool HoldsGuid(const xmlNode* node, const std::string& guid) {
    for (const xmlNode* child = node->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        if (NameIs(child, "GUID") ? Text(child) == guid : HoldsGuid(child, guid)) return true;
    }
    return false;
}

xmlNode* AppendCopy(xmlNode* parent, const xmlNode* node) {
    return xmlAddChild(parent, xmlDocCopyNode(const_cast<xmlNode*>(node), parent->doc, 1));
}

void AddText(xmlNode* parent, const char* name, const std::string& text) {
    xmlNewTextChild(parent, nullptr, reinterpret_cast<const xmlChar*>(name),
                    reinterpret_cast<const xmlChar*>(text.c_str()));
}

std::string Serialise(xmlDoc* doc) {
    xmlChar* bytes = nullptr;
    int size = 0;
    xmlDocDumpMemoryEnc(doc, &bytes, &size, "UTF-8");
    std::string text = bytes ? std::string(reinterpret_cast<const char*>(bytes), size) : "";
    xmlFree(bytes);
    return text;
}

}  // namespace wi::service
