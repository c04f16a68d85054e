// Fuzz target for ParsePatchsList: any text gives records or the empty list, never a crash. A
// "softwares" root gives one record per "Version" of each of its children.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/xml_dom.h"
#include "webinteractive/lists.h"
#include "webinteractive/status.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    IHelperInc::SetStatusSink([](const char*, void*) {}, nullptr);
    // The operation takes a zero-terminated text: it ends at the first zero byte.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::list<ISoftInfoInc::_SoftInfo>& softs =
        IWebInteractive::ParsePatchsList(text.c_str());

    std::size_t expected = 0;
    wi::xml::Document document;
    if (document.ParseBytes(text.c_str()) && document.Root().NameIs("softwares")) {
        for (const wi::xml::Element& software : document.Root().Children()) {
            for (const wi::xml::Element& child : software.Children()) {
                expected += child.NameIs("Version") ? 1 : 0;
            }
        }
    }
    if (softs.size() != expected) std::abort();
    return 0;
}
