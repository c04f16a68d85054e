// A small XML DOM: what the library's documents need, over the platform's XML library.
// Names and texts cross this interface in the narrow code page.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace wi::xml {

// A failure of the XML library while building or saving a document.
class XmlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A handle to an element of a Document; valid while the document lives. A default-constructed
// handle is empty and every query on it gives an empty result.
class Element {
public:
    Element() = default;
    explicit operator bool() const { return node_ != nullptr; }

    std::string Name() const;
    // Compares the element's name without regard to ASCII letter case.
    bool NameIs(const std::string& name) const;
    // The first child element with exactly this name.
    Element FirstChild(const std::string& name) const;
    // The child elements in document order.
    std::vector<Element> Children() const;
    // All descendant text, in the narrow code page.
    std::string Text() const;

    // Appends a child element with this text as its only content (an empty text gives an
    // empty element); throws XmlError when the name or text cannot be used.
    Element AppendElement(const std::string& name, const std::string& text);
    // Appends an empty child element.
    Element AppendElement(const std::string& name);

private:
    friend class Document;
    explicit Element(void* node) : node_(node) {}
    void* node_ = nullptr;
};

class Document {
public:
    Document();
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Starts a new document with the declaration version='1.0' encoding='gb2312' and the root
    // element; throws XmlError when the document cannot be made.
    Element CreateRoot(const std::string& rootName);

    // Parsing replaces the document. Network access, external entities and DTD loading are off
    // and entity expansion is bounded; false when the input is not a well-formed document.
    // Text already in the narrow code page:
    bool ParseText(const std::string& narrowText);
    // A file, decoded as its own declaration says:
    bool ParseFile(const std::string& windowsPath);
    // Bytes fetched from outside: read in the narrow code page, unless they are not valid there
    // and their declaration names an encoding, which then decodes them.
    bool ParseBytes(const std::string& bytes);

    Element Root() const;

    // The document as narrow text; its declaration names no encoding. False when it cannot be
    // serialised or converted.
    bool ToText(std::string& narrowText) const;
    // Saves the document, encoded as GB2312 with its declaration naming gb2312. Throws XmlError
    // when the file cannot be written.
    void Save(const std::string& windowsPath) const;

private:
    void* doc_ = nullptr;
};

}  // namespace wi::xml
