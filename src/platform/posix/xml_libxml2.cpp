// The DOM over libxml2. libxml2 keeps names and texts in UTF-8; they cross the interface in the
// narrow code page.
#include "platform/codepage.h"
#include "platform/common/xml_characters.h"
#include "platform/files.h"
#include "platform/posix/xml_input.h"
#include "platform/posix/xml_parse.h"
#include "platform/xml_dom.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlsave.h>

#include <memory>

namespace wi::xml {

namespace {

xmlNodePtr AsNode(void* node) { return static_cast<xmlNodePtr>(node); }
xmlDocPtr AsDoc(void* doc) { return static_cast<xmlDocPtr>(doc); }
const xmlChar* AsXml(const std::string& utf8) {
    return reinterpret_cast<const xmlChar*>(utf8.c_str());
}

// The encoding the declaration of every document names, and of every saved file.
constexpr char kDeclaredEncoding[] = "gb2312";

std::string ToUtf8(const std::string& narrow, const char* what) {
    std::string utf8;
    if (!platform::NarrowToUtf8(narrow, utf8)) {
        throw XmlError(std::string("not valid in the narrow code page: ") + what);
    }
    return utf8;
}

// A new element, not yet in the tree; throws XmlError when the name cannot be used.
xmlNodePtr NewElement(xmlDocPtr doc, const std::string& name) {
    const std::string utf8 = ToUtf8(name, "element name");
    if (xmlValidateName(AsXml(utf8), 0) != 0) {
        throw XmlError("not an element name: " + name);
    }
    xmlNodePtr element = xmlNewDocNode(doc, nullptr, AsXml(utf8), nullptr);
    if (element == nullptr) {
        throw XmlError("cannot create element " + name);
    }
    return element;
}

// UTF-8 from libxml2 into the narrow code page; a character the code page cannot hold becomes
// '?' (the default character of the Windows conversion) so that the rest is not lost.
std::string ToNarrow(const xmlChar* utf8) {
    if (utf8 == nullptr) {
        return "";
    }
    return platform::Utf8ToNarrowReplacing(reinterpret_cast<const char*>(utf8));
}

struct XmlFree {
    void operator()(xmlChar* text) const { xmlFree(text); }
};

// Serialises without indentation through the writer, which takes each block libxml2 hands out
// and returns false to stop it; false when libxml2 or the writer fails or a name cannot be
// encoded.
template <typename Writer>
bool Serialise(xmlDocPtr doc, const char* encoding, int options, Writer& writer) {
    libxml2::SilentErrors silent;
    const xmlOutputWriteCallback write = [](void* context, const char* block, int length) {
        Writer& to = *static_cast<Writer*>(context);
        return to(block, static_cast<std::size_t>(length)) ? length : -1;
    };
    xmlSaveCtxtPtr save = xmlSaveToIO(write, nullptr, &writer, encoding, options);
    if (save == nullptr) {
        return false;
    }
    const bool written = xmlSaveDoc(save, doc) >= 0;
    return xmlSaveClose(save) >= 0 && written;
}

}  // namespace

// ---- Element ----

std::string Element::Name() const {
    return node_ ? ToNarrow(AsNode(node_)->name) : std::string();
}

bool Element::NameIs(const std::string& name) const {
    std::string utf8;
    return node_ && platform::NarrowToUtf8(name, utf8) &&
           xmlStrcasecmp(AsNode(node_)->name, AsXml(utf8)) == 0;
}

Element Element::FirstChild(const std::string& name) const {
    std::string utf8;
    if (!node_ || !platform::NarrowToUtf8(name, utf8)) {
        return Element();
    }
    for (xmlNodePtr child = AsNode(node_)->children; child; child = child->next) {
        if (child->type == XML_ELEMENT_NODE && xmlStrEqual(child->name, AsXml(utf8))) {
            return Element(child);
        }
    }
    return Element();
}

std::vector<Element> Element::Children() const {
    std::vector<Element> children;
    if (node_) {
        for (xmlNodePtr child = AsNode(node_)->children; child; child = child->next) {
            if (child->type == XML_ELEMENT_NODE) {
                children.push_back(Element(child));
            }
        }
    }
    return children;
}

std::vector<Element> Element::ChildNodes() const {
    std::vector<Element> nodes;
    if (node_) {
        for (xmlNodePtr child = AsNode(node_)->children; child; child = child->next) {
            if (child->type == XML_ELEMENT_NODE) {
                nodes.push_back(Element(child));
            } else if (child->type != XML_TEXT_NODE || !xmlIsBlankNode(child)) {
                nodes.push_back(Element());
            }
        }
    }
    return nodes;
}

std::string Element::Text() const {
    if (!node_) {
        return "";
    }
    // Most elements that hold a value hold one text node or nothing: read it where it lies.
    const xmlNodePtr only = AsNode(node_)->children;
    if (only == nullptr) {
        return "";
    }
    if (only->next == nullptr &&
        (only->type == XML_TEXT_NODE || only->type == XML_CDATA_SECTION_NODE)) {
        return ToNarrow(only->content);
    }
    std::unique_ptr<xmlChar, XmlFree> content(xmlNodeGetContent(AsNode(node_)));
    return ToNarrow(content.get());
}

std::string Element::Attribute(const std::string& name) const {
    std::string utf8;
    if (!node_ || !platform::NarrowToUtf8(name, utf8)) {
        return "";
    }
    std::unique_ptr<xmlChar, XmlFree> value(xmlGetProp(AsNode(node_), AsXml(utf8)));
    return ToNarrow(value.get());
}

Element Element::AppendElement(const std::string& name) {
    if (!node_) {
        throw XmlError("append to an empty element");
    }
    xmlNodePtr parent = AsNode(node_);
    xmlNodePtr child = NewElement(parent->doc, name);
    if (xmlAddChild(parent, child) == nullptr) {
        xmlFreeNode(child);
        throw XmlError("cannot append element " + name);
    }
    return Element(child);
}

Element Element::AppendElement(const std::string& name, const std::string& text) {
    // Convert first so that a text that cannot be used leaves no element behind.
    const std::string utf8 = XmlCharactersOnly(ToUtf8(text, "element text"));
    Element child = AppendElement(name);
    if (!utf8.empty()) {
        // The text is taken literally (libxml2 escapes it when serialising).
        xmlNodeAddContentLen(AsNode(child.node_), AsXml(utf8), static_cast<int>(utf8.size()));
        if (AsNode(child.node_)->children == nullptr) {
            throw XmlError("cannot set the text of " + name);
        }
    }
    return child;
}

void Element::SetAttribute(const std::string& name, const std::string& value) {
    if (!node_) {
        throw XmlError("attribute on an empty element");
    }
    const std::string utf8Name = ToUtf8(name, "attribute name");
    const std::string utf8Value = XmlCharactersOnly(ToUtf8(value, "attribute value"));
    if (xmlValidateName(AsXml(utf8Name), 0) != 0) {
        throw XmlError("not an attribute name: " + name);
    }
    // xmlSetProp takes the value literally (escaped when serialising).
    if (xmlSetProp(AsNode(node_), AsXml(utf8Name), AsXml(utf8Value)) == nullptr) {
        throw XmlError("cannot set the attribute " + name);
    }
}

// ---- Document ----

Document::Document() { libxml2::Initialise(); }

Document::~Document() { xmlFreeDoc(AsDoc(doc_)); }

Element Document::CreateRoot(const std::string& rootName) {
    xmlFreeDoc(AsDoc(doc_));
    doc_ = nullptr;
    xmlDocPtr doc = xmlNewDoc(BAD_CAST "1.0");
    if (doc == nullptr) {
        throw XmlError("cannot create a document");
    }
    doc_ = doc;
    doc->encoding = xmlStrdup(BAD_CAST kDeclaredEncoding);
    xmlNodePtr root = NewElement(doc, rootName);
    xmlDocSetRootElement(doc, root);
    return Element(root);
}

bool Document::Adopt(void* parsed) {
    xmlFreeDoc(AsDoc(doc_));
    doc_ = parsed;
    return doc_ != nullptr && xmlDocGetRootElement(AsDoc(doc_)) != nullptr;
}

bool Document::ParseText(const std::string& narrowText) {
    libxml2::ForgetErrorPosition();
    std::string converted;
    const std::string* utf8 = libxml2::TextAsUtf8(narrowText, converted);
    return Adopt(utf8 ? libxml2::ParseUntrusted(*utf8) : nullptr);
}

bool Document::ParseFile(const std::string& windowsPath) {
    libxml2::ForgetErrorPosition();
    std::string utf8;
    return Adopt(libxml2::FileToUtf8(windowsPath, utf8) ? libxml2::ParseUntrusted(utf8) : nullptr);
}

bool Document::ParseBytes(const std::string& bytes) {
    libxml2::ForgetErrorPosition();
    std::string utf8;
    return Adopt(libxml2::BytesToUtf8(bytes, utf8) ? libxml2::ParseUntrusted(utf8) : nullptr);
}

Element Document::Root() const {
    return doc_ ? Element(xmlDocGetRootElement(AsDoc(doc_))) : Element();
}

bool Document::ToText(std::string& narrowText) const {
    narrowText.clear();
    // The text is in the narrow code page, so its declaration names no encoding.
    std::string utf8 = "<?xml version=\"1.0\"?>\n";
    auto append = [&utf8](const char* block, std::size_t length) {
        utf8.append(block, length);
        return true;
    };
    if (!doc_ || !Serialise(AsDoc(doc_), "UTF-8", XML_SAVE_NO_DECL, append)) {
        return false;
    }
    return platform::Utf8ToNarrow(utf8, narrowText);
}

void Document::Save(const std::string& windowsPath) const {
    if (!doc_) {
        throw XmlError("cannot serialise the document for " + windowsPath);
    }
    // Written beside the file as it is serialised, and then put in its place: a save that fails
    // (a full disk) keeps the previous document whole.
    std::unique_ptr<platform::PendingFile> file = platform::OpenReplacement(windowsPath);
    bool writeFailed = false;
    auto write = [&file, &writeFailed](const char* block, std::size_t length) {
        writeFailed = !file->Write(block, length);
        return !writeFailed;
    };
    if (file && !Serialise(AsDoc(doc_), kDeclaredEncoding, 0, write) && !writeFailed) {
        throw XmlError("cannot serialise the document for " + windowsPath);
    }
    if (!file || writeFailed || !file->Commit()) {
        throw XmlError("cannot write " + windowsPath);
    }
}

bool DecodeFileText(const std::string& bytes, std::string& narrowText, std::string& encoding) {
    narrowText.clear();
    encoding = DocumentEncoding(bytes);
    std::string utf8;
    if (!platform::ConvertEncoding(encoding, "UTF-8", bytes, utf8)) {
        return false;
    }
    if (utf8.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        utf8.erase(0, 3);  // the byte order mark, which a decoder of a named byte order keeps
    }
    return platform::Utf8ToNarrow(utf8, narrowText);
}

}  // namespace wi::xml
