#include "documents/xml_builder.h"

#include "frame/text.h"
#include "inc/narrow_text.h"
#include "webinteractive/frame.h"

namespace wi::documents {

namespace {

// One text result for all writers that return their document as text.
std::string& TextResult() {
    static std::string result;
    return result;
}

}  // namespace

xml::Element AppendText(xml::Element& parent, const char* name, const std::string& text) {
    std::string copy = inc::ValidNarrowText(text);
    // CleanString returns a buffer that its next call overwrites: copy it out at once.
    const std::string cleaned = IWebInteractive::CleanString(copy);
    return parent.AppendElement(name, cleaned);
}

xml::Element AppendInt(xml::Element& parent, const char* name, int value) {
    return parent.AppendElement(name, std::to_string(value));
}

xml::Element AppendInt64(xml::Element& parent, const char* name, std::int64_t value) {
    return parent.AppendElement(name, std::to_string(static_cast<long long>(value)));
}

xml::Element AppendFlag(xml::Element& parent, const char* name, bool value) {
    return parent.AppendElement(name, value ? "1" : "0");
}

xml::Element AppendEmpty(xml::Element& parent, const char* name) {
    return parent.AppendElement(name);
}

const char* ClearTextResult() {
    TextResult().clear();
    return TextResult().c_str();
}

const char* StoreTextResult(const xml::Document& document) {
    std::string text;
    document.ToText(text);  // leaves it empty when it fails
    return wi::frame::Refill(TextResult(), text);
}

std::string SaveToTempFile(const xml::Document& document, const char* baseName) {
    const std::string path = IWebInteractive::GetTempXmlFilePath(baseName);
    document.Save(path);
    return path;
}

}  // namespace wi::documents
