// Fuzz target for DownloadCertainFileList's reader: any downloaded bytes merge into the one
// record or leave it as it was, never a crash. A document without a "softwares" root and a
// "software" child changes nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/xml_dom.h"
#include "service/list_readers.h"
#include "temporary_machine.h"
#include "webinteractive/status.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const wi::fuzz::TemporaryMachine machine("certain_list_fuzz");
    IHelperInc::SetStatusSink([](const char*, void*) {}, nullptr);
    const char kPath[] = "C:\\certain.xml";
    std::unique_ptr<wi::platform::File> file = wi::platform::OpenForWrite(kPath);
    if (!file || !file->Write(reinterpret_cast<const char*>(data), size)) std::abort();
    file.reset();

    wi::xml::Document document;
    if (!document.ParseFile(kPath)) return 0;
    ISoftInfoInc::_SoftInfo record;
    record.Name = "kept";
    wi::service::ReadCertainFileListDocument(document, "{G}", record);
    const wi::xml::Element root = document.Root();
    if ((!root.NameIs("softwares") || !root.FirstChild("software")) &&
        (record.Name != "kept" || !record.files.empty() || !record.patchs.empty())) {
        std::abort();
    }
    return 0;
}
