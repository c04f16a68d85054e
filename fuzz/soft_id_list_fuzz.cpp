// Fuzz target for the software ID list: any bytes, as the service's answer or as a host's text,
// must give a set or the empty set without a crash. A set is only ever filled from a document
// whose root is "softwares" (any letter case), and never holds more records than that root has
// children.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "platform/xml_dom.h"
#include "service/soft_id_list.h"
#include "webinteractive/lists.h"

namespace {

void CheckAgainst(const std::set<ISoftInfoInc::_SoftID>& ids, bool parsed,
                  const wi::xml::Document& document) {
    if (ids.empty()) return;
    if (!parsed || !document.Root().NameIs("softwares")) std::abort();
    if (ids.size() > document.Root().Children().size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    wi::xml::Document bytes;
    const bool bytesParsed = bytes.ParseBytes(input);
    CheckAgainst(wi::service::ParseSoftIDBytes(input), bytesParsed, bytes);

    // The host's text ends at its first zero byte.
    const std::string text = input.c_str();
    wi::xml::Document narrow;
    const bool textParsed = narrow.ParseText(text);
    CheckAgainst(IWebInteractive::ParseSoftIDList(text.c_str()), textParsed, narrow);
    return 0;
}
