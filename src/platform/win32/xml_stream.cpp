// Streamed reads on win32: the document is parsed whole by the DOM, with its bounds, and then
// walked as a streamed read on posix visits it, so that a reader sees the same elements in the
// same order and gets the same outcome on both.
#include "platform/xml_stream.h"

namespace wi::xml {
namespace {

// The elements of the subtree, itself included, counted up to one past the limit.
int CountElements(const Element& element, int limit) {
    int count = 1;
    for (const Element& child : element.Children()) {
        if (count > limit) break;
        count += CountElements(child, limit - count);
    }
    return count;
}

// Whether the visitor's answer after an element ends the read.
bool Ends(StreamStep step) { return step == StreamStep::kStop || step == StreamStep::kRefuse; }

// Visits the element and what the visitor asks for of its subtree; the answer that ended the
// read, or kEnter when it goes on.
StreamStep Walk(const Element& element, int depth, StreamVisitor& visitor) {
    const StreamStep step = visitor.Open(element, depth);
    switch (step) {
        case StreamStep::kEnter:
            for (const Element& child : element.Children()) {
                const StreamStep inner = Walk(child, depth + 1, visitor);
                if (Ends(inner)) return inner;
            }
            return visitor.Close(element, depth);
        case StreamStep::kCollect:
            if (CountElements(element, kMaxCollectedElements) > kMaxCollectedElements) {
                return StreamStep::kRefuse;
            }
            return visitor.Collected(element, depth);
        case StreamStep::kSkip:
            return StreamStep::kEnter;
        default:
            return step;
    }
}

}  // namespace

StreamResult Stream(StreamSource source, const std::string& input, StreamVisitor& visitor) {
    Document document;
    const bool parsed = source == StreamSource::kFile    ? document.ParseFile(input)
                        : source == StreamSource::kBytes ? document.ParseBytes(input)
                                                         : document.ParseText(input);
    if (!parsed) return StreamResult::kRefused;
    switch (Walk(document.Root(), 0, visitor)) {
        case StreamStep::kStop:
            return StreamResult::kStopped;
        case StreamStep::kRefuse:
            return StreamResult::kRefused;
        default:
            return StreamResult::kRead;
    }
}

}  // namespace wi::xml
