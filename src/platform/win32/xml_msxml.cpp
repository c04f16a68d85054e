// The DOM over MSXML through COM. MSXML keeps names and texts in UTF-16; they cross the interface
// in the narrow code page. Files are encoded and decoded here, not by MSXML: the document's UTF-16
// text is written in code page 936 after one declaration naming gb2312, and read back by the
// encoding the file declares, so that the same bytes come out wherever MSXML runs (Wine's MSXML
// cannot save or load a document that declares gb2312).
#include "platform/codepage.h"
#include "platform/common/xml_characters.h"
#include "platform/files.h"
#include "platform/win32/codepage_wide.h"
#include "platform/win32/xml_com.h"
#include "platform/win32/xml_scan.h"
#include "platform/xml_dom.h"

#include <algorithm>
#include <cwchar>
#include <deque>
#include <memory>
#include <utility>

namespace wi::xml {

namespace {

using msxml::Bstr;
using msxml::ComPtr;

// The encoding the declaration of every document names, and of every saved file.
constexpr wchar_t kDeclarationData[] = L"version='1.0' encoding='gb2312'";
constexpr char kSavedDeclaration[] = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n";
constexpr UINT kSavedCodePage = 936;

struct Tree;

// What an Element points at: one reference to a node of a tree, held as long as the tree.
struct Handle {
    ComPtr<IXMLDOMNode> node;
    Tree* tree;
};

// A parsed or built document with every node handed out as an Element. MSXML gives a new
// reference for each node asked for; the handles keep them until the document goes, so that
// an Element stays valid for the document's lifetime as the interface promises.
struct Tree {
    ComPtr<IXMLDOMDocument2> dom;
    std::deque<Handle> handles;
};

Tree* AsTree(void* doc) { return static_cast<Tree*>(doc); }
Handle* AsHandle(void* node) { return static_cast<Handle*>(node); }

void* Hold(Tree* tree, ComPtr<IXMLDOMNode> node) {
    if (!node) return nullptr;
    tree->handles.push_back(Handle{std::move(node), tree});
    return &tree->handles.back();
}

std::wstring ToWide(const std::string& narrow, const char* what) {
    std::wstring wide;
    if (!platform::win32::NarrowToWide(narrow, wide)) {
        throw XmlError(std::string("not valid in the narrow code page: ") + what);
    }
    return wide;
}

bool ToWideQuiet(const std::string& narrow, std::wstring& wide) {
    return platform::win32::NarrowToWide(narrow, wide);
}

std::string ToNarrowReplacing(const std::wstring& wide) {
    return platform::win32::WideToNarrowReplacing(wide);
}

// An XML name: ASCII characters as the XML rules allow them; every other character is left to
// MSXML, which checks names when it makes a node.
bool IsName(const std::wstring& name) {
    if (name.empty()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const wchar_t c = name[i];
        const bool start = (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_' ||
                           c == L':' || c >= 0x80;
        const bool inside = (c >= L'0' && c <= L'9') || c == L'-' || c == L'.';
        if (!start && !(i > 0 && inside)) return false;
    }
    return true;
}

DOMNodeType TypeOf(IXMLDOMNode* node) {
    DOMNodeType type = NODE_INVALID;
    node->get_nodeType(&type);
    return type;
}

std::wstring NameOf(IXMLDOMNode* node) {
    Bstr name;
    node->get_nodeName(name.Out());
    return name.Text();
}

// Calls visit(child, type) for each child node in document order until it returns false.
template <typename Visit>
void ForEachChild(IXMLDOMNode* parent, Visit visit) {
    ComPtr<IXMLDOMNode> child;
    parent->get_firstChild(child.Out());
    while (child) {
        const DOMNodeType type = TypeOf(child.Get());
        ComPtr<IXMLDOMNode> next;
        child->get_nextSibling(next.Out());
        if (!visit(std::move(child), type)) return;
        child = std::move(next);
    }
}

std::wstring ValueOf(IXMLDOMNode* node) {
    std::wstring text;
    VARIANT value;
    VariantInit(&value);
    if (SUCCEEDED(node->get_nodeValue(&value)) && value.vt == VT_BSTR && value.bstrVal) {
        text.assign(value.bstrVal, SysStringLen(value.bstrVal));
    }
    VariantClear(&value);
    return text;
}

// Text and CDATA below the node, in document order.
void AppendText(IXMLDOMNode* node, std::wstring& text) {
    ForEachChild(node, [&text](ComPtr<IXMLDOMNode> child, DOMNodeType type) {
        if (type == NODE_TEXT || type == NODE_CDATA_SECTION) {
            text += ValueOf(child.Get());
        } else if (type == NODE_ELEMENT) {
            AppendText(child.Get(), text);
        }
        return true;
    });
}

bool IsBlank(IXMLDOMNode* node) {
    return ValueOf(node).find_first_not_of(L" \t\r\n") == std::wstring::npos;
}

ComPtr<IXMLDOMElement> AsElement(IXMLDOMNode* node) {
    ComPtr<IXMLDOMElement> element;
    if (node != nullptr) {
        node->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(element.Out()));
    }
    return element;
}

// Appends a new node to the parent and gives the appended node.
ComPtr<IXMLDOMNode> Append(IXMLDOMNode* parent, IXMLDOMNode* child) {
    ComPtr<IXMLDOMNode> appended;
    if (FAILED(parent->appendChild(child, appended.Out()))) appended.Reset();
    return appended;
}

ComPtr<IXMLDOMNode> NewElement(IXMLDOMDocument2* dom, const std::string& name) {
    const std::wstring wide = ToWide(name, "element name");
    if (!IsName(wide)) {
        throw XmlError("not an element name: " + name);
    }
    Bstr tag(wide);
    ComPtr<IXMLDOMElement> element;
    ComPtr<IXMLDOMNode> node;
    if (!tag.Made(wide) || FAILED(dom->createElement(tag.Get(), element.Out())) || !element ||
        FAILED(element->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(node.Out())))) {
        throw XmlError("cannot create element " + name);
    }
    return node;
}

// True when the code page 936 bytes keep to GB2312, which the saved documents declare: ASCII and
// the double bytes of its rows (A1-A9 symbols, B0-F7 characters; trail bytes A1-FE). Code page
// 936 has more (GBK: the euro sign as 80, characters such as 丂 with other lead or trail bytes),
// which strict GB2312 readers refuse.
bool KeepsToGb2312(const char* bytes, std::size_t length) {
    for (std::size_t at = 0; at < length;) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        if (lead < 0x80) {
            ++at;
            continue;
        }
        if (at + 1 >= length) return false;
        const auto trail = static_cast<unsigned char>(bytes[at + 1]);
        const bool row = (lead >= 0xA1 && lead <= 0xA9) || (lead >= 0xB0 && lead <= 0xF7);
        if (!row || trail < 0xA1 || trail > 0xFE) return false;
        at += 2;
    }
    return true;
}

// One character (a surrogate pair counts as one) in the code page, and for code page 936 in its
// GB2312 part; false when it has none.
bool Encodable(UINT codePage, const wchar_t* at, int units) {
    char bytes[8];
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, at, units, bytes,
                                           sizeof bytes, nullptr, &usedDefault);
    return length > 0 && !usedDefault &&
           (codePage != 936 || KeepsToGb2312(bytes, static_cast<std::size_t>(length)));
}

// Serialises a document as the library writes documents: no indentation, empty elements as
// "<a/>", each top-level node on its own line, the XML declaration left to the caller. MSXML's
// own text is not used: its layout differs between MSXML versions (Wine's indents).
class Serialiser {
public:
    // With a code page, each character of text or attribute values that code page cannot hold is
    // written as a character reference, and such a character anywhere else (a name, a comment)
    // throws XmlError.
    explicit Serialiser(UINT referencesFor = 0) : codePage_(referencesFor) {}

    std::wstring Document(IXMLDOMNode* document) {
        ForEachChild(document, [this](ComPtr<IXMLDOMNode> child, DOMNodeType type) {
            if (type != NODE_PROCESSING_INSTRUCTION || NameOf(child.Get()) != L"xml") {
                Node(child.Get(), type);
                out_ += L'\n';
            }
            return true;
        });
        return std::move(out_);
    }

private:
    void Node(IXMLDOMNode* node, DOMNodeType type) {
        switch (type) {
            case NODE_ELEMENT: Element(node); break;
            case NODE_TEXT: Escaped(ValueOf(node), false); break;
            case NODE_CDATA_SECTION: Markup(L"<![CDATA[" + ValueOf(node) + L"]]>"); break;
            case NODE_COMMENT: Markup(L"<!--" + ValueOf(node) + L"-->"); break;
            case NODE_PROCESSING_INSTRUCTION: {
                const std::wstring data = ValueOf(node);
                Markup(L"<?" + NameOf(node) + (data.empty() ? L"" : L" " + data) + L"?>");
                break;
            }
            default: break;  // nothing else occurs in a document the library parses or builds
        }
    }

    void Element(IXMLDOMNode* element) {
        const std::wstring name = NameOf(element);
        Markup(L"<" + name);
        ComPtr<IXMLDOMNamedNodeMap> attributes;
        long count = 0;
        if (SUCCEEDED(element->get_attributes(attributes.Out())) && attributes) {
            attributes->get_length(&count);
        }
        for (long i = 0; i < count; ++i) {
            ComPtr<IXMLDOMNode> attribute;
            if (SUCCEEDED(attributes->get_item(i, attribute.Out())) && attribute) {
                Markup(L" " + NameOf(attribute.Get()) + L"=\"");
                Escaped(ValueOf(attribute.Get()), true);
                out_ += L'"';
            }
        }
        bool empty = true;
        ForEachChild(element, [&](ComPtr<IXMLDOMNode> child, DOMNodeType type) {
            if (empty) out_ += L'>';
            empty = false;
            Node(child.Get(), type);
            return true;
        });
        if (empty) {
            out_ += L"/>";
        } else {
            Markup(L"</" + name + L">");
        }
    }

    // Text or an attribute value, escaped as XML requires.
    void Escaped(const std::wstring& text, bool attribute) {
        for (std::size_t at = 0; at < text.size(); ++at) {
            const wchar_t c = text[at];
            switch (c) {
                case L'&': out_ += L"&amp;"; continue;
                case L'<': out_ += L"&lt;"; continue;
                case L'>': out_ += L"&gt;"; continue;
                case L'\r': out_ += L"&#13;"; continue;
                default: break;
            }
            if (attribute && (c == L'"' || c == L'\n' || c == L'\t')) {
                out_ += c == L'"' ? L"&quot;" : c == L'\n' ? L"&#10;" : L"&#9;";
                continue;
            }
            const bool pair = c >= 0xD800 && c <= 0xDBFF && at + 1 < text.size() &&
                              text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF;
            if (c >= 0x80 && codePage_ != 0 && !Encodable(codePage_, &text[at], pair ? 2 : 1)) {
                const unsigned long code =
                    pair ? 0x10000 + ((c - 0xD800UL) << 10) + (text[at + 1] - 0xDC00UL) : c;
                wchar_t reference[16];
                std::swprintf(reference, 16, L"&#x%lX;", code);
                out_ += reference;
            } else {
                out_ += c;
                if (pair) out_ += text[at + 1];
            }
            if (pair) ++at;
        }
    }

    // Names and markup, written as they are; they have no character references.
    void Markup(const std::wstring& text) {
        if (codePage_ != 0) {
            for (std::size_t at = 0; at < text.size(); ++at) {
                if (text[at] >= 0x80 && !Encodable(codePage_, &text[at], 1)) {
                    throw XmlError("a name or markup cannot be encoded in gb2312");
                }
            }
        }
        out_ += text;
    }

    UINT codePage_;
    std::wstring out_;
};

ComPtr<IXMLDOMNode> DocumentNode(const Tree* tree) {
    ComPtr<IXMLDOMNode> node;
    if (tree != nullptr &&
        FAILED(tree->dom->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(node.Out())))) {
        node.Reset();
    }
    return node;
}

// The wide text in a code page, for code page 936 in its GB2312 part; false when some character
// has no place in it.
bool Encode(UINT codePage, const std::wstring& text, std::string& out) {
    out.clear();
    if (text.empty()) return true;
    const int size = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), size,
                                           nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return false;
    out.resize(static_cast<std::size_t>(length));
    return WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), size, &out[0],
                               length, nullptr, nullptr) == length &&
           (codePage != 936 || KeepsToGb2312(out.data(), out.size()));
}

thread_local ParseErrorPosition lastErrorPosition;

// Keeps where MSXML found the text's first error, counted in the text as it was before its
// declaration was taken off.
void KeepErrorPosition(IXMLDOMDocument* dom, const std::wstring& text, const std::wstring& body) {
    ComPtr<IXMLDOMParseError> error;
    long line = 0;
    long column = 0;
    if (FAILED(dom->get_parseError(error.Out())) || !error || FAILED(error->get_line(&line)) ||
        FAILED(error->get_linepos(&column)) || line <= 0) {
        return;
    }
    const std::wstring removed = text.substr(0, text.size() - body.size());
    const long removedLines = static_cast<long>(std::count(removed.begin(), removed.end(), L'\n'));
    if (removedLines == 0 && line == 1) column += static_cast<long>(removed.size());
    lastErrorPosition.line = static_cast<int>(line + removedLines);
    lastErrorPosition.column = static_cast<int>(column);
}

// Parses UTF-16 text into a new tree, or null when it is not a well-formed document within the
// bounds. MSXML is given the text without its declaration, already decoded.
Tree* ParseUntrusted(const std::wstring& text) {
    if (text.find(L'\0') != std::wstring::npos) return nullptr;  // no XML character
    const std::wstring body = msxml::WithoutDeclaration(text);
    if (!msxml::WithinBounds(body, kMaxDepth, kMaxAttributesPerElement)) return nullptr;
    auto tree = std::make_unique<Tree>();
    tree->dom = msxml::NewDocument();
    Bstr source(body);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (!tree->dom || !source.Made(body) || FAILED(tree->dom->loadXML(source.Get(), &loaded))) {
        return nullptr;
    }
    if (loaded != VARIANT_TRUE) {
        KeepErrorPosition(tree->dom.Get(), text, body);
        return nullptr;
    }
    return tree.release();
}

}  // namespace

ParseErrorPosition LastParseErrorPosition() { return lastErrorPosition; }

// ---- Element ----

std::string Element::Name() const {
    return node_ ? ToNarrowReplacing(NameOf(AsHandle(node_)->node.Get())) : std::string();
}

bool Element::NameIs(const std::string& name) const {
    std::wstring wide;
    if (!node_ || !ToWideQuiet(name, wide)) return false;
    const std::wstring own = NameOf(AsHandle(node_)->node.Get());
    const auto lower = [](wchar_t c) {
        return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    };
    return own.size() == wide.size() &&
           std::equal(own.begin(), own.end(), wide.begin(),
                      [&lower](wchar_t a, wchar_t b) { return lower(a) == lower(b); });
}

Element Element::FirstChild(const std::string& name) const {
    std::wstring wide;
    if (!node_ || !ToWideQuiet(name, wide)) return Element();
    Handle* handle = AsHandle(node_);
    void* found = nullptr;
    ForEachChild(handle->node.Get(), [&](ComPtr<IXMLDOMNode> child, DOMNodeType type) {
        if (type == NODE_ELEMENT && NameOf(child.Get()) == wide) {
            found = Hold(handle->tree, std::move(child));
            return false;
        }
        return true;
    });
    return Element(found);
}

std::vector<Element> Element::Children() const {
    std::vector<Element> children;
    if (node_) {
        Handle* handle = AsHandle(node_);
        ForEachChild(handle->node.Get(), [&](ComPtr<IXMLDOMNode> child, DOMNodeType type) {
            if (type == NODE_ELEMENT) {
                children.push_back(Element(Hold(handle->tree, std::move(child))));
            }
            return true;
        });
    }
    return children;
}

std::vector<Element> Element::ChildNodes() const {
    std::vector<Element> nodes;
    if (node_) {
        Handle* handle = AsHandle(node_);
        ForEachChild(handle->node.Get(), [&](ComPtr<IXMLDOMNode> child, DOMNodeType type) {
            if (type == NODE_ELEMENT) {
                nodes.push_back(Element(Hold(handle->tree, std::move(child))));
            } else if (type != NODE_TEXT || !IsBlank(child.Get())) {
                nodes.push_back(Element());
            }
            return true;
        });
    }
    return nodes;
}

std::string Element::Text() const {
    if (!node_) return "";
    std::wstring text;
    AppendText(AsHandle(node_)->node.Get(), text);
    return ToNarrowReplacing(text);
}

std::string Element::Attribute(const std::string& name) const {
    std::wstring wide;
    if (!node_ || !ToWideQuiet(name, wide)) return "";
    ComPtr<IXMLDOMElement> element = AsElement(AsHandle(node_)->node.Get());
    Bstr attribute(wide);
    if (!element || !attribute.Made(wide)) return "";
    VARIANT value;
    VariantInit(&value);
    std::wstring text;
    if (SUCCEEDED(element->getAttribute(attribute.Get(), &value)) && value.vt == VT_BSTR &&
        value.bstrVal) {
        text.assign(value.bstrVal, SysStringLen(value.bstrVal));
    }
    VariantClear(&value);
    return ToNarrowReplacing(text);
}

Element Element::AppendElement(const std::string& name) {
    if (!node_) {
        throw XmlError("append to an empty element");
    }
    Handle* handle = AsHandle(node_);
    ComPtr<IXMLDOMNode> child = NewElement(handle->tree->dom.Get(), name);
    ComPtr<IXMLDOMNode> appended = Append(handle->node.Get(), child.Get());
    if (!appended) {
        throw XmlError("cannot append element " + name);
    }
    return Element(Hold(handle->tree, std::move(appended)));
}

Element Element::AppendElement(const std::string& name, const std::string& text) {
    // Convert first so that a text that cannot be used leaves no element behind.
    const std::wstring wide = XmlCharactersOnly(ToWide(text, "element text"));
    Element child = AppendElement(name);
    if (!wide.empty()) {
        // The text is taken literally (MSXML escapes it when serialising).
        Bstr content(wide);
        if (!content.Made(wide) || FAILED(AsHandle(child.node_)->node->put_text(content.Get()))) {
            throw XmlError("cannot set the text of " + name);
        }
    }
    return child;
}

void Element::SetAttribute(const std::string& name, const std::string& value) {
    if (!node_) {
        throw XmlError("attribute on an empty element");
    }
    const std::wstring wideName = ToWide(name, "attribute name");
    const std::wstring wideValue = XmlCharactersOnly(ToWide(value, "attribute value"));
    if (!IsName(wideName)) {
        throw XmlError("not an attribute name: " + name);
    }
    ComPtr<IXMLDOMElement> element = AsElement(AsHandle(node_)->node.Get());
    Bstr attribute(wideName);
    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = SysAllocStringLen(wideValue.data(), static_cast<UINT>(wideValue.size()));
    const bool set = element && attribute.Made(wideName) && text.bstrVal != nullptr &&
                     SUCCEEDED(element->setAttribute(attribute.Get(), text));
    VariantClear(&text);
    if (!set) {
        throw XmlError("cannot set the attribute " + name);
    }
}

// ---- Document ----

Document::Document() = default;

Document::~Document() { delete AsTree(doc_); }

Element Document::CreateRoot(const std::string& rootName) {
    delete AsTree(doc_);
    doc_ = nullptr;
    auto tree = std::make_unique<Tree>();
    tree->dom = msxml::NewDocument();
    if (!tree->dom) {
        throw XmlError("cannot create a document");
    }
    ComPtr<IXMLDOMNode> documentNode;
    ComPtr<IXMLDOMProcessingInstruction> declaration;
    Bstr target(L"xml");
    Bstr data(kDeclarationData);
    if (FAILED(tree->dom->QueryInterface(IID_IXMLDOMNode,
                                         reinterpret_cast<void**>(documentNode.Out()))) ||
        FAILED(tree->dom->createProcessingInstruction(target.Get(), data.Get(),
                                                      declaration.Out())) ||
        !declaration || !Append(documentNode.Get(), declaration.Get())) {
        throw XmlError("cannot create a document");
    }
    ComPtr<IXMLDOMNode> root = NewElement(tree->dom.Get(), rootName);
    ComPtr<IXMLDOMNode> appended = Append(documentNode.Get(), root.Get());
    if (!appended) {
        throw XmlError("cannot append element " + rootName);
    }
    Tree* made = tree.release();
    doc_ = made;
    return Element(Hold(made, std::move(appended)));
}

bool Document::Adopt(void* parsed) {
    delete AsTree(doc_);
    doc_ = parsed;
    return Root() ? true : false;
}

bool Document::ParseText(const std::string& narrowText) {
    lastErrorPosition = ParseErrorPosition();
    std::wstring text;
    if (narrowText.size() > kMaxTextBytes || !ToWideQuiet(narrowText, text)) {
        return Adopt(nullptr);
    }
    return Adopt(ParseUntrusted(text));
}

bool Document::ParseFile(const std::string& windowsPath) {
    lastErrorPosition = ParseErrorPosition();
    std::string bytes;
    std::wstring text;
    if (!ReadDocumentFile(windowsPath, bytes) ||
        !msxml::DecodeBytes(DocumentEncoding(bytes), bytes, text)) {
        return Adopt(nullptr);
    }
    return Adopt(ParseUntrusted(text));
}

bool Document::ParseBytes(const std::string& bytes) {
    lastErrorPosition = ParseErrorPosition();
    if (bytes.size() > kMaxTextBytes) {
        return Adopt(nullptr);
    }
    std::wstring text;
    if (ToWideQuiet(bytes, text)) {
        return Adopt(ParseUntrusted(text));
    }
    const std::string declared = DeclaredEncoding(bytes);
    if (declared.empty() || !msxml::DecodeBytes(declared, bytes, text)) {
        return Adopt(nullptr);
    }
    return Adopt(ParseUntrusted(text));
}

Element Document::Root() const {
    Tree* tree = AsTree(doc_);
    if (tree == nullptr) return Element();
    ComPtr<IXMLDOMElement> root;
    ComPtr<IXMLDOMNode> node;
    if (FAILED(tree->dom->get_documentElement(root.Out())) || !root ||
        FAILED(root->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(node.Out())))) {
        return Element();
    }
    return Element(Hold(tree, std::move(node)));
}

bool Document::ToText(std::string& narrowText) const {
    narrowText.clear();
    ComPtr<IXMLDOMNode> document = DocumentNode(AsTree(doc_));
    if (!document) return false;
    // The text is in the narrow code page, so its declaration names no encoding.
    const std::wstring text = L"<?xml version=\"1.0\"?>\n" + Serialiser().Document(document.Get());
    return platform::Utf16ToNarrow(std::u16string(text.begin(), text.end()), narrowText);
}

void Document::Save(const std::string& windowsPath) const {
    ComPtr<IXMLDOMNode> document = DocumentNode(AsTree(doc_));
    if (!document) {
        throw XmlError("cannot serialise the document for " + windowsPath);
    }
    // Characters beyond GB2312 are rare: the document is serialised again with references for
    // them only when the plain text does not fit.
    std::string bytes;
    if (!Encode(kSavedCodePage, Serialiser().Document(document.Get()), bytes) &&
        !Encode(kSavedCodePage, Serialiser(kSavedCodePage).Document(document.Get()), bytes)) {
        throw XmlError("cannot encode the document for " + windowsPath);
    }
    bytes.insert(0, kSavedDeclaration);
    // Written beside the file and then put in its place: a save that fails (a full disk) keeps
    // the previous document whole.
    std::unique_ptr<platform::PendingFile> file = platform::OpenReplacement(windowsPath);
    if (!file || !file->Write(bytes.data(), bytes.size()) || !file->Commit()) {
        throw XmlError("cannot write " + windowsPath);
    }
}

bool DecodeFileText(const std::string& bytes, std::string& narrowText, std::string& encoding) {
    narrowText.clear();
    encoding = DocumentEncoding(bytes);
    std::wstring text;
    return msxml::DecodeBytes(encoding, bytes, text) &&
           platform::Utf16ToNarrow(std::u16string(text.begin(), text.end()), narrowText);
}

}  // namespace wi::xml
