// Streamed reads over libxml2's SAX2 tree builder: an element is built as the tree builder
// builds it, but only the open entered elements and the collected element in progress exist at
// any moment, each dropped as it ends; a skipped element and the text between elements are never
// built.
#include "platform/xml_stream.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <exception>
#include <memory>

#include "platform/posix/xml_input.h"
#include "platform/posix/xml_parse.h"

namespace wi::xml {

struct NodeAccess {
    static Element Of(xmlNodePtr node) { return Element(node); }
};

namespace {

class StreamedRead {
public:
    explicit StreamedRead(StreamVisitor& visitor) : visitor_(visitor) {}

    StreamResult Run(libxml2::Utf8Pieces& pieces) {
        libxml2::ParseState state;
        state.stream = this;
        libxml2::Parser parser = libxml2::NewUntrustedParser(state);
        if (!parser) return StreamResult::kRefused;
        state_ = &state;
        xmlSAXHandler& sax = *parser->sax;
        sax.startElementNs = &StreamedRead::OnStart;
        sax.endElementNs = &StreamedRead::OnEnd;
        // Content is built inside a collected element only.
        sax.characters = [](void* context, const xmlChar* text, int length) {
            if (Of(context).collected_ != nullptr) xmlSAX2Characters(context, text, length);
        };
        sax.ignorableWhitespace = sax.characters;
        sax.cdataBlock = [](void* context, const xmlChar* text, int length) {
            if (Of(context).collected_ != nullptr) xmlSAX2CDataBlock(context, text, length);
        };
        sax.comment = [](void* context, const xmlChar* text) {
            if (Of(context).collected_ != nullptr) xmlSAX2Comment(context, text);
        };
        sax.processingInstruction = [](void* context, const xmlChar* target, const xmlChar* data) {
            if (Of(context).collected_ != nullptr) {
                xmlSAX2ProcessingInstruction(context, target, data);
            }
        };
        sax.reference = [](void* context, const xmlChar* name) {
            if (Of(context).collected_ != nullptr) xmlSAX2Reference(context, name);
        };
        // What is left of the tree: the elements open when the read ended, if any.
        const xmlDocPtr document = libxml2::ReadUntrusted(parser.get(), pieces);
        const bool wellFormed = document != nullptr;
        xmlFreeDoc(document);
        if (failure_) std::rethrow_exception(failure_);
        if (refused_) return StreamResult::kRefused;
        if (stopped_) return StreamResult::kStopped;
        return wellFormed ? StreamResult::kRead : StreamResult::kRefused;
    }

private:
    static StreamedRead& Of(void* context) {
        const void* state = static_cast<xmlParserCtxtPtr>(context)->_private;
        return *static_cast<StreamedRead*>(static_cast<const libxml2::ParseState*>(state)->stream);
    }

    static void Drop(xmlNodePtr node) {
        xmlUnlinkNode(node);
        xmlFreeNode(node);
    }

    // Ends the parse as the visitor asked. An exception from the visitor cannot pass through
    // libxml2: it ends the parse and is raised again once libxml2 has returned.
    template <typename Visit>
    void Ask(void* context, Visit visit) {
        StreamStep step = StreamStep::kRefuse;
        try {
            step = visit();
        } catch (...) {
            failure_ = std::current_exception();
        }
        if (step == StreamStep::kStop) {
            stopped_ = true;
            xmlStopParser(static_cast<xmlParserCtxtPtr>(context));
        } else if (step == StreamStep::kRefuse) {
            refused_ = true;
            libxml2::RefuseInput(context);
        }
    }

    static void OnStart(void* context, const xmlChar* localName, const xmlChar* prefix,
                        const xmlChar* uri, int namespaceCount, const xmlChar** namespaces,
                        int attributeCount, int defaultedCount, const xmlChar** attributes) {
        StreamedRead& self = Of(context);
        auto* parser = static_cast<xmlParserCtxtPtr>(context);
        if (!libxml2::EnterElement(context)) return;
        if (self.skipping_ > 0) {
            ++self.skipping_;
            return;
        }
        if (self.collected_ != nullptr && ++self.collectedElements_ > kMaxCollectedElements) {
            self.Ask(context, [] { return StreamStep::kRefuse; });
            return;
        }
        const xmlNodePtr parent = parser->node;
        xmlSAX2StartElementNs(context, localName, prefix, uri, namespaceCount, namespaces,
                              attributeCount, defaultedCount, attributes);
        const xmlNodePtr node = parser->node;
        if (node == parent) {
            libxml2::RefuseInput(context);  // libxml2 could not build it
            return;
        }
        if (self.collected_ != nullptr) return;
        const int depth = self.state_->depth - 1;
        self.Ask(context, [&] {
            const StreamStep step = self.visitor_.Open(NodeAccess::Of(node), depth);
            if (step == StreamStep::kCollect) {
                self.collected_ = node;
                self.collectedElements_ = 1;
            } else if (step == StreamStep::kSkip) {
                xmlSAX2EndElementNs(context, localName, prefix, uri);
                Drop(node);
                self.skipping_ = 1;
            }
            return step;
        });
    }

    static void OnEnd(void* context, const xmlChar* localName, const xmlChar* prefix,
                      const xmlChar* uri) {
        StreamedRead& self = Of(context);
        libxml2::LeaveElement(context);
        if (self.skipping_ > 0) {
            --self.skipping_;
            return;
        }
        const xmlNodePtr node = static_cast<xmlParserCtxtPtr>(context)->node;
        xmlSAX2EndElementNs(context, localName, prefix, uri);
        if (self.collected_ != nullptr && self.collected_ != node) return;  // inside it
        const int depth = self.state_->depth;
        self.Ask(context, [&] {
            if (self.collected_ == nullptr) return self.visitor_.Close(NodeAccess::Of(node), depth);
            self.collected_ = nullptr;
            return self.visitor_.Collected(NodeAccess::Of(node), depth);
        });
        Drop(node);
    }

    StreamVisitor& visitor_;
    libxml2::ParseState* state_ = nullptr;
    int skipping_ = 0;  // while passing a skipped element: its elements open, itself included
    xmlNodePtr collected_ = nullptr;
    int collectedElements_ = 0;
    bool stopped_ = false;
    bool refused_ = false;
    std::exception_ptr failure_;
};

}  // namespace

StreamResult Stream(StreamSource source, const std::string& input, StreamVisitor& visitor) {
    const std::unique_ptr<libxml2::Utf8Pieces> pieces = libxml2::OpenUtf8Pieces(source, input);
    return pieces ? StreamedRead(visitor).Run(*pieces) : StreamResult::kRefused;
}

}  // namespace wi::xml
