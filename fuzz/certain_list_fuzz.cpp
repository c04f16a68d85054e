// Fuzz target for DownloadCertainFileList's reader: any downloaded bytes merge into the one
// record or leave it as it was, never a crash. The streamed reading accepts exactly the files the
// DOM parses (the inputs are far below the list bounds); a refused document, or one without a
// "softwares" root and a "software" child, changes nothing.
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
    const bool parsed = document.ParseFile(kPath);
    ISoftInfoInc::_SoftInfo record;
    record.Name = "kept";
    if (wi::service::ReadCertainFileListDocument(wi::xml::StreamSource::kFile, kPath, "{G}",
                                                 record) != parsed) {
        std::abort();
    }
    const wi::xml::Element root = document.Root();
    if ((!parsed || !root.NameIs("softwares") || !root.FirstChild("software")) &&
        (record.Name != "kept" || !record.files.empty() || !record.patchs.empty())) {
        std::abort();
    }
    return 0;
}
