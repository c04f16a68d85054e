// Fuzz target for the CLI's reader of record documents: any bytes give records or a one-line
// reason, never a crash. A document that is read gives one record per "Version" of each
// "software" (one for a "software" without any), and one that is refused leaves the caller's list
// as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <list>
#include <string>

#include "platform/xml_dom.h"
#include "record_file.h"

namespace {

bool OneLine(const std::string& error) {
    return !error.empty() && error.find_first_of("\r\n") == std::string::npos;
}

std::size_t RecordsOf(const wi::xml::Document& document) {
    std::size_t count = 0;
    for (const wi::xml::Element& software : document.Root().Children()) {
        if (software.Name() != "software") continue;
        std::size_t versions = 0;
        for (const wi::xml::Element& child : software.Children()) {
            versions += child.Name() == "Version" ? 1 : 0;
        }
        count += versions == 0 ? 1 : versions;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    wi::xml::Document document;
    std::string error;
    if (!cli::ParseDocumentBytes(bytes, document, error)) {
        if (!OneLine(error)) std::abort();
        return 0;
    }
    std::list<ISoftInfoInc::_SoftInfo> softs(1);
    softs.front().GUID = "kept";
    error.clear();
    if (!cli::ReadSoftInfos(document, softs, error)) {
        if (!OneLine(error) || softs.size() != 1 || softs.front().GUID != "kept") std::abort();
        return 0;
    }
    if (!error.empty() || softs.front().GUID != "kept") std::abort();
    if (document.Root().Name() != "softwares" || softs.size() != 1 + RecordsOf(document)) {
        std::abort();
    }
    return 0;
}
