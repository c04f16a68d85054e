// Fuzz target for the library's reader of record documents: any bytes give records or a one-line
// reason, never a crash. A document that is read gives one record per "Version" of each
// "software" (one for a "software" without any), and one that is refused leaves the caller's list
// as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <list>
#include <string>

#include "platform/xml_dom.h"
#include "webinteractive/host.h"

namespace {

bool OneLine(const std::string& error) {
    return !error.empty() && error.find_first_of("\r\n") == std::string::npos;
}

// The records a document gives, counted on the DOM; -1 when it does not parse.
long RecordsOf(const std::string& bytes) {
    std::string narrow;
    std::string encoding;
    wi::xml::Document document;
    if (!wi::xml::DecodeFileText(bytes, narrow, encoding) || !document.ParseText(narrow)) {
        return -1;
    }
    long count = 0;
    for (const wi::xml::Element& software : document.Root().Children()) {
        if (software.Name() != "software") continue;
        long versions = 0;
        for (const wi::xml::Element& child : software.Children()) {
            versions += child.Name() == "Version" ? 1 : 0;
        }
        count += versions == 0 ? 1 : versions;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    std::list<ISoftInfoInc::_SoftInfo> softs(1);
    softs.front().GUID = "kept";
    const char* reason = nullptr;
    const int outcome = IHostInc::ReadRecordDocument(bytes, size, softs, &reason);
    const std::string error = reason != nullptr ? reason : "(null)";
    if (outcome != 1) {
        if ((outcome != 0 && outcome != -1) || !OneLine(error) || softs.size() != 1 ||
            softs.front().GUID != "kept") {
            std::abort();
        }
        return 0;
    }
    if (!error.empty() || softs.front().GUID != "kept") std::abort();
    const long records = RecordsOf(std::string(bytes, size));
    if (records < 0 || softs.size() != 1 + static_cast<std::size_t>(records)) std::abort();
    return 0;
}
