// Fuzz target for DownloadCertainFileList's reader: any downloaded bytes merge into the one
// record or leave it as reset, never a crash. The streamed reading accepts exactly the files the
// DOM parses (the inputs are far below the list bounds). The record starts with a value in every
// member (an earlier call's), is reset as the operation resets it before it reads, and must then
// hold what an independent walk of the document finds (reference_lists.h): every "Version" of
// the first "software" merged in. A refused document, or one without a "softwares" root and a
// "software" child, leaves it as reset.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/xml_dom.h"
#include "reference_lists.h"
#include "lists/list_readers.h"
#include "temporary_machine.h"
#include "webinteractive/status.h"

namespace {

namespace ref = wi::fuzz;
using ISoftInfoInc::_SoftInfo;

// A record as an earlier call may have left it: every member holds something.
_SoftInfo Earlier() {
    _SoftInfo r;
    for (std::string* text :
         {&r.GUID, &r.product_id, &r.authorized_prefix, &r.comments, &r.contact, &r.Name,
          &r.OriginalVersion, &r.pn_name, &r.pn_version, &r.HelpLink, &r.help_telephone,
          &r.install_date, &r.SetupPath, &r.SetupSourcePath, &r.modify_path, &r.Vendor,
          &r.readme, &r.UpdateLink, &r.DownloadPath, &r.Version, &r.creator, &r.OSCode,
          &r.special_code}) {
        *text = "earlier";
    }
    for (int* number :
         {&r.estimated_size, &r.language, &r.no_modify, &r.no_remove, &r.no_repair,
          &r.system_component, &r.version_info, &r.version_major, &r.version_minor,
          &r.windows_installer, &r.Type, &r.WindowsVersion, &r.Category, &r.analyse_result,
          &r.is_protected}) {
        *number = 7;
    }
    r.Size = 7;
    r.files.insert(IFileInfoInc::_FileInfo());
    r.dependences.insert(IDepInfoInc::_DepInfo());
    r.configs.insert(IConfInfoInc::_ConfInfo());
    r.patchs.emplace_back();
    return r;
}

// The reset the operation runs before it reads a downloaded document.
void Reset(_SoftInfo& r, const std::string& guid) {
    r.GUID = guid;
    for (std::string* text :
         {&r.authorized_prefix, &r.comments, &r.contact, &r.Name, &r.OriginalVersion,
          &r.HelpLink, &r.help_telephone, &r.install_date, &r.SetupPath, &r.SetupSourcePath,
          &r.Vendor, &r.readme, &r.UpdateLink, &r.special_code}) {
        text->clear();
    }
    for (int* number : {&r.estimated_size, &r.language, &r.no_modify, &r.no_remove, &r.no_repair,
                        &r.system_component, &r.version_info, &r.version_major,
                        &r.version_minor, &r.windows_installer}) {
        *number = 0;
    }
    r.Size = 0;
    r.files.clear();
    r.dependences.clear();
    r.configs.clear();
    r.patchs.clear();
}

void Expect(xmlNodePtr root, _SoftInfo& r) {
    if (!root || !ref::NamedAnyCase(root, "softwares")) return;
    const xmlNodePtr software = ref::FirstNamed(root, "software");
    if (!software) return;
    _SoftInfo base;  // Name, Vendor, pn_name empty; Type, is_protected 0
    for (xmlNodePtr child : ref::ChildElements(software)) {
        if (ref::NamedAnyCase(child, "BaseInfo")) {
            base.Name = ref::TextIn(child, "Name", base.Name);
            base.Type = ref::IntegerIn(child, "Type", base.Type);
            base.Vendor = ref::TextIn(child, "Vendor", base.Vendor);
            base.is_protected = ref::IntegerIn(child, "is_protected", base.is_protected);
            base.pn_name = ref::TextIn(child, "pn_name", base.pn_name);
        } else if (ref::NamedAnyCase(child, "Version")) {
            if (const xmlNodePtr info = ref::FirstNamed(child, "VersionInfo")) {
                r.Name = base.Name;
                r.Type = base.Type;
                r.Vendor = base.Vendor;
                r.is_protected = base.is_protected;
                r.pn_name = base.pn_name;
                ref::ReadVersionInfo(info, r, /*withOSCode=*/true);
            }
            for (xmlNodePtr item : ref::ChildElements(ref::FirstNamed(child, "FileList"))) {
                if (ref::NamedAnyCase(item, "file")) r.files.insert(ref::ReadFileItem(item));
            }
            for (xmlNodePtr item : ref::ChildElements(ref::FirstNamed(child, "Dependence"))) {
                r.dependences.insert(ref::ReadDependenceItem(item));
            }
            for (xmlNodePtr item : ref::ChildElements(ref::FirstNamed(child, "Configration"))) {
                r.configs.insert(ref::ReadConfigurationItem(item));
            }
            if (const xmlNodePtr patchs = ref::FirstNamed(child, "patchs")) {
                ref::ReadPatches(patchs, r.patchs);
            }
        }
    }
}

// Whether the file's bytes are UTF-8 by the rules a file's encoding is found by: no byte order
// mark or "<" laid out in UTF-16 or UTF-32, and a declaration naming no other encoding. The
// UTF-8 byte order mark is dropped.
bool ReadsAsUtf8(std::string& bytes) {
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        bytes.erase(0, 3);
        return true;
    }
    if (bytes.size() >= 2 && (bytes[0] == '\0' || bytes[1] == '\0' ||
                              bytes.compare(0, 2, "\xFF\xFE") == 0 ||
                              bytes.compare(0, 2, "\xFE\xFF") == 0)) {
        return false;
    }
    if (bytes.compare(0, 5, "<?xml") != 0) return true;
    const std::string declaration = bytes.substr(0, bytes.find("?>"));
    std::size_t at = declaration.find("encoding");
    if (at != std::string::npos) at = declaration.find_first_of("\"'", at);
    if (at == std::string::npos) return true;
    const std::size_t close = declaration.find(declaration[at], at + 1);
    std::string name = declaration.substr(at + 1, close - at - 1);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name == "UTF-8";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const wi::fuzz::TemporaryMachine machine("certain_list_fuzz");
    IHelperInc::SetStatusSink([](const char*, void*) {}, nullptr);
    const char kPath[] = "C:\\certain.xml";
    std::unique_ptr<wi::platform::File> file = wi::platform::OpenForWrite(kPath);
    if (!file || !file->Write(reinterpret_cast<const char*>(data), size)) std::abort();
    file.reset();

    _SoftInfo record = Earlier();
    Reset(record, "{G}");
    _SoftInfo expected = record;
    wi::xml::Document document;
    const bool parsed = document.ParseFile(kPath);
    if (wi::lists::ReadCertainFileListDocument(wi::xml::StreamSource::kFile, kPath, "{G}",
                                                 record) != parsed) {
        std::abort();
    }
    if (!parsed) {
        if (ref::Describe(record) != ref::Describe(expected)) std::abort();
        return 0;
    }

    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (!ReadsAsUtf8(bytes)) return 0;
    const ref::ReferenceDocument reference(bytes, ref::ReferenceDocument::kUtf8Bytes);
    if (!reference.Verdict()) return 0;
    Expect(reference.Root(), expected);
    const std::string read = ref::Describe(record);
    const std::string wanted = ref::Describe(expected);
    if (read != wanted) {
        std::fprintf(stderr, "read:\n%s\nexpected:\n%s\n", read.c_str(), wanted.c_str());
        std::abort();
    }
    return 0;
}
