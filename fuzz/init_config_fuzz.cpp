// Fuzz target for the configuration text of IWebInteractive::Init: any text must give 1 or 0
// without a crash, and the values read back must agree with what the text is: nothing from a text
// that does not parse or whose root is not "Logs", else the text of each key's element as an
// independent walk of the document (reference_xml.h) finds it, and 1 only when all five are
// there. Init builds the fixed-drive list through the machine prefix, so the target works on a
// machine of its own in a temporary directory, never on the user's.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/xml_dom.h"
#include "reference_xml.h"
#include "temporary_machine.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/frame.h"
#include "webinteractive/host.h"
#include "webinteractive/status.h"

namespace {

const char* const kKeys[] = {"UpUserUrl", "ReadUserUrl", "UpSysUrl", "MachineNum",
                             "DownSysPatchsUrl"};

bool AllValuesEmpty() {
    for (const char* key : kKeys) {
        if (*IHostInc::GetConfigValue(key) != '\0') return false;
    }
    return true;
}

// Init loads the protected-software table from the store's user document, whose place may be
// asked of the service that the previous Init configured: a user document that exists and is
// remembered keeps every Init away from the network.
bool GiveUserDocumentAPlace() {
    const std::string directory = "D:\\qel_protect\\software";
    CXFileOperator::InsureDirectoryExist(directory);
    std::string path = directory + "\\qeluser.xml";
    const std::unique_ptr<wi::platform::File> file = wi::platform::OpenForWrite(path);
    if (!file || !file->Write("<user/>", 7)) std::abort();
    std::string name = "qeluser";
    IHelperInc::SaveParam(name, path);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const wi::fuzz::TemporaryMachine machine("init_config_fuzz");
    static const bool placed = GiveUserDocumentAPlace();
    (void)placed;
    // Init takes a C string: the text ends at its first zero byte.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const int result = IWebInteractive::Init(text.c_str());
    if (result != 0 && result != 1) std::abort();
    for (const char* key : kKeys) (void)IHostInc::GetConfigValue(key);
    (void)IHostInc::GetFixedDrives();
    if (machine.Directory() != IHostInc::GetMachinePrefix()) std::abort();

    wi::xml::Document document;
    if (!document.ParseText(text.c_str())) {
        if (result != 0 || !AllValuesEmpty()) std::abort();
    } else if (!document.Root().NameIs("Logs")) {
        if (result != 1 || !AllValuesEmpty()) std::abort();
    }

    // Against an independent walk: each value is the text of the root's first child of exactly
    // its name, and the result 1 when all five are there.
    const wi::fuzz::ReferenceDocument reference(text.c_str());
    if (!reference.Verdict()) return 0;
    const xmlNodePtr root = reference.Root();
    if (!root) {
        if (result != 0) std::abort();
        return 0;
    }
    const bool logs = wi::fuzz::NamedAnyCase(root, "Logs");
    bool all = true;
    for (const char* key : kKeys) {
        const xmlNodePtr element = logs ? wi::fuzz::FirstNamed(root, key) : nullptr;
        all = all && element;
        if (IHostInc::GetConfigValue(key) != wi::fuzz::TextOf(element)) std::abort();
    }
    if (result != (!logs || all ? 1 : 0)) std::abort();
    return 0;
}
