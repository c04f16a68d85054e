// Fuzz target for DownloadFileList's reader: any downloaded bytes give records or none, never a
// crash. The bytes are read from a file, as the download leaves them. The streamed reading
// accepts exactly the files the DOM parses (the inputs are far below the list bounds), and a
// refused one changes nothing. "locked" is written only for a "softwares" root with a
// "software" child; without a cancel event every "Version" of that software gives one record;
// with a signalled one none does.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <list>
#include <memory>
#include <string>

#include "platform/events.h"
#include "platform/files.h"
#include "platform/xml_dom.h"
#include "lists/list_readers.h"
#include "temporary_machine.h"
#include "webinteractive/status.h"

namespace {

// The number of records the document should give, or -1 when it should leave "locked" alone.
long ExpectedRecords(const wi::xml::Document& document) {
    const wi::xml::Element root = document.Root();
    const wi::xml::Element software = root.FirstChild("software");
    if (!root.NameIs("softwares") || !software) return -1;
    long versions = 0;
    for (const wi::xml::Element& child : software.Children()) versions += child.NameIs("Version") ? 1 : 0;
    return versions;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const wi::fuzz::TemporaryMachine machine("file_list_fuzz");
    static void* const cancelled = wi::platform::CreateEventObject(true, true);
    IHelperInc::SetStatusSink([](const char*, void*) {}, nullptr);
    const char kPath[] = "C:\\list.xml";
    std::unique_ptr<wi::platform::File> file = wi::platform::OpenForWrite(kPath);
    if (!file || !file->Write(reinterpret_cast<const char*>(data), size)) std::abort();
    file.reset();

    wi::xml::Document document;
    const bool parsed = document.ParseFile(kPath);
    std::list<ISoftInfoInc::_SoftInfo> softs;
    int locked = -12345;
    const auto kFile = wi::xml::StreamSource::kFile;
    if (wi::lists::ReadFileListDocument(kFile, kPath, "{G}", locked, nullptr, softs) != parsed) {
        std::abort();
    }
    const long expected = parsed ? ExpectedRecords(document) : -1;
    if (expected < 0 ? locked != -12345 || !softs.empty()
                     : softs.size() != static_cast<std::size_t>(expected)) {
        std::abort();
    }
    softs.clear();
    wi::lists::ReadFileListDocument(kFile, kPath, "{G}", locked, cancelled, softs);
    if (!softs.empty()) std::abort();
    return 0;
}
