// A small XML DOM: what the library's documents need, over the platform's XML library.
// Names and texts cross this interface in the narrow code page.
//
// Every input is treated as untrusted: parsing never touches the network, never loads an
// external entity or DTD, and refuses any document that declares an entity (general or
// parameter, internal or external). Nothing the library reads declares entities, and refusing
// them outright rules out entity expansion attacks without counting expansions. The predefined
// entities (&amp; &lt; ...) and character references work as usual. Parse errors are silent.
// A document type declaration without entities is read and ignored on posix; the Windows
// backend (MSXML, with DTDs prohibited) refuses any document that has one.
//
// Every reader also bounds what it accepts (the limits below), so that a hostile document costs
// time and memory in proportion to its size. Beyond a limit the input is refused as a malformed
// one is: too large, before it is converted; too many attributes, before the parser checks them;
// too deep, before the element joins the tree.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace wi::xml {

// Texts are configuration documents and service answers held in memory (the software ID list,
// the user information); the largest, a software ID list, takes about 150 bytes a software, so
// 32 MiB is some 200,000 softwares, far beyond any catalogue the service holds.
constexpr std::size_t kMaxTextBytes = std::size_t{32} << 20;
// Files are downloaded file lists and the store's documents; the largest, a file list, takes
// 800 bytes to 1.3 KiB a file, so 128 MiB holds a list of 100,000 files (200 versions of 500)
// with room. A larger file is refused before it is read whole: a file list reader treats it as a
// document that does not parse.
constexpr std::size_t kMaxFileBytes = std::size_t{128} << 20;
// The library's documents carry no attributes at all. A parser checks the attributes of a start
// tag against each other (libxml2 2.9 pair by pair, and its tree appends each to a list it walks
// to the end), so one tag costs the square of their number: 200,000 take minutes, 256 well under a
// millisecond, while a document that does use attributes still passes. The same bound applies to
// the attributes a document type declares, which the parser adds to start tags.
constexpr int kMaxAttributesPerElement = 256;
// The library's documents nest fewer than ten elements deep (softwares, software, Version,
// FileList, file, Name); 256 is also libxml2's own default.
constexpr int kMaxDepth = 256;

// Where this thread's last parse met its first error in the text, for a reader that tells its
// user: line and column from 1 (the column as the XML library counts it), or 0 and 0 when the
// parse succeeded or the text was refused before it was read (too large, not decodable, a bound
// passed before parsing).
struct ParseErrorPosition {
    int line = 0;
    int column = 0;
};
ParseErrorPosition LastParseErrorPosition();

// A failure of the XML library while building or saving a document.
class XmlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A handle to an element of a Document; valid while the document lives and is not replaced.
// A default-constructed handle is empty and every query on it gives an empty result.
class Element {
public:
    Element() = default;
    explicit operator bool() const { return node_ != nullptr; }

    // The element's name in the narrow code page.
    std::string Name() const;
    // Compares the element's name without regard to ASCII letter case.
    bool NameIs(const std::string& name) const;
    // The first child element with exactly this name.
    Element FirstChild(const std::string& name) const;
    // The child elements in document order.
    std::vector<Element> Children() const;
    // Every child node in document order, as the Windows DOM keeps them by default: a handle
    // for each child element and an empty handle for each other node (text, CDATA, comment,
    // processing instruction); text of nothing but white space is no node.
    std::vector<Element> ChildNodes() const;
    // All descendant text (text and CDATA; not comments), in the narrow code page. A character
    // the narrow code page cannot hold becomes '?', as the Windows conversion does.
    std::string Text() const;
    // The value of the attribute of this name in the narrow code page (as Text() converts);
    // empty when the element has none.
    std::string Attribute(const std::string& name) const;

    // Appends a child element with this text as its only content (an empty text gives an
    // empty element). Control characters other than tab, line feed and carriage return are
    // left out: XML cannot carry them. Throws XmlError when the name is not an XML name or
    // the name or text is not valid in the narrow code page.
    Element AppendElement(const std::string& name, const std::string& text);
    // Appends an empty child element.
    Element AppendElement(const std::string& name);
    // Sets an attribute to this value, taken literally. Control characters other than tab, line
    // feed and carriage return are left out, as in element text. Throws XmlError when the name
    // is not an XML name or the name or value is not valid in the narrow code page.
    void SetAttribute(const std::string& name, const std::string& value);

private:
    friend class Document;
    friend struct NodeAccess;  // the backend's streamed reads hand out nodes they build
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

    // Parsing replaces the document; on failure the document is left empty. False when the
    // input is not a well-formed document, declares an entity or exceeds a limit (see above).
    // Text already in the narrow code page (an encoding its declaration names is ignored), at
    // most kMaxTextBytes; false when the text is not valid in the narrow code page:
    bool ParseText(const std::string& narrowText);
    // A file of at most kMaxFileBytes, decoded by its byte order mark (UTF-8, UTF-16, UTF-32),
    // else by the layout of its first characters in UTF-16 or UTF-32, else as its declaration
    // says, else as UTF-8 (so EBCDIC is not read); false when it cannot be read or decoded:
    bool ParseFile(const std::string& windowsPath);
    // Bytes fetched from outside, at most kMaxTextBytes: read in the narrow code page, unless
    // they are not valid there and their declaration names an encoding, which then decodes them.
    bool ParseBytes(const std::string& bytes);

    Element Root() const;

    // The document as narrow text; its declaration names no encoding. False, with the text
    // empty, when it cannot be serialised or converted to the narrow code page.
    bool ToText(std::string& narrowText) const;
    // Saves the document, encoded as GB2312 with its declaration naming gb2312, replacing any
    // file of that name. Throws XmlError when the file cannot be written completely.
    void Save(const std::string& windowsPath) const;

private:
    bool Adopt(void* parsed);
    void* doc_ = nullptr;
};

// A file's bytes as text in the narrow code page, for a reader that holds the bytes itself (a
// file of the host, not of the machine): decoded as ParseFile decodes them, without a byte order
// mark; `encoding` names the encoding found. False, with the text empty, when the bytes are not
// valid in that encoding or hold characters that the narrow code page cannot.
bool DecodeFileText(const std::string& bytes, std::string& narrowText, std::string& encoding);

}  // namespace wi::xml
