#include "xml_lists.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <tuple>

namespace fs = std::filesystem;

namespace wi::service {

namespace {

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using Doc = std::unique_ptr<xmlDoc, DocFree>;

Doc Parse(const fs::path& path) {
    std::error_code error;
    const auto size = fs::file_size(path, error);
    if (error || size > kMaxDocumentBytes) return nullptr;
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return Doc(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                             XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
}

bool NameIs(const xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE &&
           xmlStrcasecmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

const xmlNode* Child(const xmlNode* parent, const char* name) {
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

bool HoldsGuid(const xmlNode* node, const std::string& guid) {
    for (const xmlNode* child = node->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        if (NameIs(child, "GUID") ? Text(child) == guid : HoldsGuid(child, guid)) return true;
    }
    return false;
}

// Written in the encoding given (the one of the document an answer was cut from), else UTF-8.
std::string Serialise(xmlDoc* doc, const xmlChar* encoding = nullptr) {
    xmlChar* bytes = nullptr;
    int size = 0;
    xmlDocDumpMemoryEnc(doc, &bytes, &size,
                        encoding ? reinterpret_cast<const char*>(encoding) : "UTF-8");
    std::string text = bytes ? std::string(reinterpret_cast<const char*>(bytes), size) : "";
    xmlFree(bytes);
    return text;
}

xmlNode* NewRoot(xmlDoc* doc, const char* name) {
    xmlNode* root = xmlNewNode(nullptr, reinterpret_cast<const xmlChar*>(name));
    xmlDocSetRootElement(doc, root);
    return root;
}

void AddText(xmlNode* parent, const char* name, const std::string& text) {
    xmlNewTextChild(parent, nullptr, reinterpret_cast<const xmlChar*>(name),
                    reinterpret_cast<const xmlChar*>(text.c_str()));
}

}  // namespace

std::string SoftwareIdList(const std::vector<fs::path>& softLists) {
    Doc answer(xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0")));
    xmlNode* root = NewRoot(answer.get(), "softwares");
    std::set<std::tuple<std::string, std::string, std::string>> seen;
    for (const fs::path& path : softLists) {
        const Doc doc = Parse(path);
        const xmlNode* top = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
        if (!top || !NameIs(top, "softwares")) continue;
        for (const xmlNode* software = top->children; software; software = software->next) {
            const xmlNode* base = NameIs(software, "software") ? Child(software, "BaseInfo") : nullptr;
            if (!base) continue;
            const auto key = std::make_tuple(Text(Child(base, "GUID")), Text(Child(base, "pn_name")),
                                             Text(Child(base, "pn_version")));
            if (!seen.insert(key).second) continue;
            xmlNode* entry = xmlNewChild(root, nullptr, reinterpret_cast<const xmlChar*>("software"), nullptr);
            xmlNode* info = xmlNewChild(entry, nullptr, reinterpret_cast<const xmlChar*>("BaseInfo"), nullptr);
            AddText(info, "GUID", std::get<0>(key));
            AddText(info, "pn_name", std::get<1>(key));
            AddText(info, "pn_version", std::get<2>(key));
        }
    }
    return Serialise(answer.get());
}

std::optional<std::string> SoftwareFileList(const std::vector<fs::path>& fileLists,
                                            const std::string& guid) {
    for (const fs::path& path : fileLists) {
        const Doc doc = Parse(path);
        const xmlNode* top = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
        if (!top || !NameIs(top, "softwares")) continue;
        for (const xmlNode* software = top->children; software; software = software->next) {
            if (!NameIs(software, "software") || !HoldsGuid(software, guid)) continue;
            Doc answer(xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0")));
            xmlNode* root = NewRoot(answer.get(), "softwares");
            xmlAddChild(root, xmlDocCopyNode(const_cast<xmlNode*>(software), answer.get(), 1));
            return Serialise(answer.get(), doc->encoding);
        }
    }
    return std::nullopt;
}

std::optional<std::string> QelUser(const std::vector<fs::path>& userDocuments,
                                   const std::string& machineNum) {
    for (const fs::path& path : userDocuments) {
        const Doc doc = Parse(path);
        const xmlNode* top = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
        if (!top || !NameIs(top, "user")) continue;
        const xmlNode* qelUser = Child(top, "qeluser");
        if (qelUser && Text(Child(top, "machinenum")) == machineNum) return Text(qelUser);
    }
    return std::nullopt;
}

std::string UserAnswer(const std::string& qelUser) {
    Doc answer(xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0")));
    xmlNode* root = NewRoot(answer.get(), "user");
    AddText(root, "qeluser", qelUser);
    return Serialise(answer.get());
}

}  // namespace wi::service
