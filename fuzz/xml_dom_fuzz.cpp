// Fuzz target for the DOM's readers of outside text: any bytes must parse or be refused without
// a crash, and a document that parsed must serialise to text that parses again.
#include "platform/xml_dom.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

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

void Check(wi::xml::Document& doc) {
    Walk(doc.Root(), 0);
    std::string text;
    if (doc.ToText(text)) {
        wi::xml::Document again;
        if (!again.ParseText(text)) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    wi::xml::Document doc;
    if (doc.ParseBytes(input)) Check(doc);
    if (doc.ParseText(input)) Check(doc);
    return 0;
}
