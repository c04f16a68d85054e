// Reading a document element by element, for the readers of lists that come from outside: the
// reader says of each element whether to go into it, to have it whole or to pass it by, so that
// what a read holds follows what the reader keeps, not the size of the document.
//
// The input is decoded and bounded as Document's Parse* do, and refused for the same reasons.
// On posix the elements are built and dropped as the bytes are parsed, and the input reaches the
// parser a piece at a time (a file read and decoded a block at a time, a text from where it lies):
// the visitor may have seen part of a document that turns out to be malformed, to break a bound
// or (a file) not to decode, and a read it stops never looks at the rest.
// On win32 the document is parsed whole first and then walked, so a malformed document is refused
// before any visit. A reader therefore keeps what it read only when the read is not refused.
#pragma once

#include <string>

#include "platform/xml_dom.h"

namespace wi::xml {

// What becomes of an element the read meets.
enum class StreamStep {
    kEnter,    // its child elements are offered one by one; Close follows them
    kCollect,  // it is read whole, handed to Collected, then dropped
    kSkip,     // it is read past without being kept
    kStop,     // the read ends here; what was handed over stands
    kRefuse,   // the read ends, and the input counts as one that does not parse
};

// The elements of a read in document order; depth 0 is the root. An element handed over is
// valid during the call only, and holds nothing of its content but for Collected (on posix an
// entered element is empty; do not rely on either).
class StreamVisitor {
public:
    virtual ~StreamVisitor() = default;
    // An element begins: its name can be read.
    virtual StreamStep Open(const Element& element, int depth) = 0;
    // An element answered with kCollect, complete. kStop and kRefuse end the read; any other
    // answer lets it go on.
    virtual StreamStep Collected(const Element& element, int depth) = 0;
    // An element answered with kEnter ends. kStop and kRefuse end the read; any other answer lets
    // it go on.
    virtual StreamStep Close(const Element& element, int depth) = 0;
};

// The most elements a collected element holds, itself included; a larger one refuses the input.
// A record of a list holds a few dozen.
constexpr int kMaxCollectedElements = 10000;

enum class StreamSource {
    kFile,   // a Windows path, read as Document::ParseFile reads it
    kBytes,  // bytes fetched from outside, as Document::ParseBytes takes them
    kText,   // text in the narrow code page, as Document::ParseText takes it
};

enum class StreamResult {
    kRead,     // the whole document was read
    kStopped,  // the visitor ended the read
    kRefused,  // not a well-formed document within the bounds, or refused by the visitor
};

StreamResult Stream(StreamSource source, const std::string& input, StreamVisitor& visitor);

}  // namespace wi::xml
