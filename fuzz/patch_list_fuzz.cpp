// Fuzz target for ParsePatchsList: any text gives records or the empty list, never a crash, and
// exactly the records that an independent walk of the document finds (reference_lists.h): one
// per "Version" of each child of a "softwares" root, with the base values of its "BaseInfo",
// the values of its "VersionInfo" and its patches.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <list>
#include <string>

#include "reference_lists.h"
#include "webinteractive/lists.h"
#include "webinteractive/status.h"

namespace {

namespace ref = wi::fuzz;
using ISoftInfoInc::_SoftInfo;

std::list<_SoftInfo> Expected(xmlNodePtr root) {
    std::list<_SoftInfo> softs;
    if (!root || !ref::NamedAnyCase(root, "softwares")) return softs;
    for (xmlNodePtr software : ref::ChildElements(root)) {
        _SoftInfo base;
        for (xmlNodePtr child : ref::ChildElements(software)) {
            if (ref::NamedAnyCase(child, "BaseInfo")) {
                base.Name = ref::TextIn(child, "Name", base.Name);
                base.GUID = ref::TextIn(child, "GUID", base.GUID);
                base.Type = ref::IntegerIn(child, "Type", base.Type);
                base.Vendor = ref::TextIn(child, "Vendor", base.Vendor);
                base.is_protected = ref::IntegerIn(child, "is_protected", base.is_protected);
                base.pn_name = ref::TextIn(child, "pn_name", base.pn_name);
            } else if (ref::NamedAnyCase(child, "Version")) {
                _SoftInfo record;
                if (const xmlNodePtr info = ref::FirstNamed(child, "VersionInfo")) {
                    record.Type = base.Type;
                    record.Name = base.Name;
                    record.Vendor = base.Vendor;
                    record.is_protected = base.is_protected;
                    record.pn_name = base.pn_name;
                    record.GUID = base.GUID;
                    ref::ReadVersionInfo(info, record, /*withOSCode=*/false);
                }
                if (const xmlNodePtr patchs = ref::FirstNamed(child, "patchs")) {
                    ref::ReadPatches(patchs, record.patchs);
                }
                softs.push_back(record);
            }
        }
    }
    return softs;
}

std::string Describe(const std::list<_SoftInfo>& softs) {
    std::string text;
    for (const _SoftInfo& soft : softs) text += "---- record\n" + ref::Describe(soft);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    IHelperInc::SetStatusSink([](const char*, void*) {}, nullptr);
    // The operation takes a zero-terminated text: it ends at the first zero byte.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::list<_SoftInfo>& softs = IWebInteractive::ParsePatchsList(text.c_str());

    const ref::ReferenceDocument reference(text.c_str());
    if (!reference.Verdict()) return 0;
    const std::string expected = Describe(Expected(reference.Root()));
    const std::string read = Describe(softs);
    if (read != expected) {
        std::fprintf(stderr, "read:\n%s\nexpected:\n%s\n", read.c_str(), expected.c_str());
        std::abort();
    }
    return 0;
}
