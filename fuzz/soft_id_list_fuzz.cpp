// Fuzz target for the software ID list: any bytes, as the service's answer or as a host's text,
// must give a set or the empty set without a crash. The host's text gives exactly the set that an
// independent walk of the document (reference_xml.h) finds: one record per "software" child of a
// "softwares" root (any letter case), with the texts of BaseInfo's first "GUID" and "pn_name".
// The service's answer, read the same way when it is valid in the narrow code page, gives the
// same set; otherwise a set is only ever filled from a document whose root is "softwares".
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/xml_dom.h"
#include "reference_xml.h"
#include "lists/soft_id_list.h"
#include "webinteractive/lists.h"

namespace {

using IdSet = std::set<ISoftInfoInc::_SoftID>;
namespace ref = wi::fuzz;

IdSet Expected(const ref::ReferenceDocument& document) {
    IdSet ids;
    const xmlNodePtr root = document.Root();
    if (!root || !ref::NamedAnyCase(root, "softwares")) return ids;
    for (xmlNodePtr software : ref::ChildElements(root)) {
        if (!ref::NamedAnyCase(software, "software")) continue;
        ISoftInfoInc::_SoftID id;
        const xmlNodePtr base = ref::FirstNamed(software, "BaseInfo");
        id.GUID = ref::TextIn(base, "GUID", "");
        id.pn_name = ref::TextIn(base, "pn_name", "");
        ids.insert(id);
    }
    return ids;
}

// The records as comparable rows.
std::vector<std::tuple<std::string, std::string, std::string>> Rows(const IdSet& ids) {
    std::vector<std::tuple<std::string, std::string, std::string>> rows;
    for (const auto& id : ids) rows.emplace_back(id.GUID, id.pn_name, id.pn_version);
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    // The host's text ends at its first zero byte.
    const std::string text = input.c_str();
    const ref::ReferenceDocument reference(text);
    const IdSet fromText = IWebInteractive::ParseSoftIDList(text.c_str());
    if (reference.Verdict() && Rows(fromText) != Rows(Expected(reference))) std::abort();

    const IdSet fromBytes = wi::lists::ParseSoftIDBytes(input);
    std::string unused;
    if (ref::ReferenceConvert(ref::ReferenceCodeset(), "UTF-8", input, unused)) {
        const ref::ReferenceDocument whole(input);
        if (whole.Verdict() && Rows(fromBytes) != Rows(Expected(whole))) std::abort();
    } else if (!fromBytes.empty()) {
        wi::xml::Document bytes;
        if (!bytes.ParseBytes(input) || !bytes.Root().NameIs("softwares")) std::abort();
        if (fromBytes.size() > bytes.Root().Children().size()) std::abort();
    }
    return 0;
}
