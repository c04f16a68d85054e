// Fuzz target for the DOM's readers of outside text: any bytes must parse or be refused without
// a crash, and a document that parsed must serialise to text that parses again into an equal
// tree (the same element names, leaf texts and child counts all the way down). The file reader,
// which decodes by the file's own marks and declaration, reads the bytes from a file on a machine
// of the target's own.
#include "platform/files.h"
#include "platform/xml_dom.h"
#include "temporary_machine.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

void Walk(const wi::xml::Element& element, int depth) {
    (void)element.Name();
    (void)element.Text();
    (void)element.NameIs("software");
    (void)element.FirstChild("BaseInfo");
    if (depth < 64) {
        for (const wi::xml::Element& child : element.Children()) Walk(child, depth + 1);
    }
}

// The element's tree as one text: names, the texts of elements without child elements, and the
// nesting.
std::string Tree(const wi::xml::Element& element) {
    const std::vector<wi::xml::Element> children = element.Children();
    std::string tree = element.Name();
    if (children.empty()) return tree + "=\"" + element.Text() + "\"";
    tree += "{";
    for (const wi::xml::Element& child : children) tree += Tree(child) + ",";
    return tree + "}";
}

void Check(wi::xml::Document& doc) {
    Walk(doc.Root(), 0);
    std::string text;
    if (doc.ToText(text)) {
        wi::xml::Document again;
        if (!again.ParseText(text)) std::abort();
        if (Tree(again.Root()) != Tree(doc.Root())) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    wi::xml::Document doc;
    if (doc.ParseBytes(input)) Check(doc);
    if (doc.ParseText(input)) Check(doc);

    static const wi::fuzz::TemporaryMachine machine("xml_dom_fuzz");
    const char kPath[] = "C:\\input.xml";
    std::unique_ptr<wi::platform::File> file = wi::platform::OpenForWrite(kPath);
    if (!file || !file->Write(input.data(), input.size())) std::abort();
    file.reset();
    if (doc.ParseFile(kPath)) Check(doc);
    return 0;
}
