// Fuzz target for the documents the store reads back from disk: the same bytes serve as the
// user document (the protected-software table's loader) and as a protect document (the queries).
// Whatever the bytes, the loader answers 1 or 0 and keeps only pairs with both values, the
// queries answer a text or -1, and no scratch copy stays on drive C:. The target works on a
// machine of its own in a temporary directory.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/xml_dom.h"
#include "store/protected_table.h"
#include "temporary_machine.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/frame.h"
#include "webinteractive/status.h"
#include "webinteractive/store.h"

namespace {

const char kProtectXml[] = "D:\\qel_protect\\software\\G\\Protect.xml";

void Write(const std::string& path, const std::string& bytes) {
    std::unique_ptr<wi::platform::File> file = wi::platform::OpenForWrite(path);
    if (!file || !file->Write(bytes.data(), bytes.size())) std::abort();
}

// Init once (the drive list), and the folders of both documents, made in this process: the
// command interpreter of a build may be missing.
const std::string& UserXml() {
    static const std::string path = [] {
        IWebInteractive::Init("<Config/>");
        CXFileOperator::InsureDirectoryExist("D:\\qel_protect\\software\\G");
        return std::string("D:\\qel_protect\\software\\qeluser.xml");
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const wi::fuzz::TemporaryMachine machine("store_documents_fuzz");
    IHelperInc::SetStatusSink([](const char*, void*) {}, nullptr);  // a host that shows none
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    Write(UserXml(), bytes);
    const int loaded = wi::store::LoadProtectedTable();
    if (loaded != 0 && loaded != 1) std::abort();
    for (const wi::store::ProtectedPair& pair : wi::store::ProtectedPairs()) {
        if (pair.first.empty() || pair.second.empty()) std::abort();
    }
    if (loaded == 0 && !wi::store::ProtectedPairs().empty()) std::abort();

    Write(kProtectXml, bytes);
    wi::store::RememberProtection("G", kProtectXml);
    const int version = IWebInteractive::GetProtectedVersion("G");
    const std::string installPath = IWebInteractive::GetProtectedInstallPath("G");
    const std::string stored = IWebInteractive::GetFileProtectPath(kProtectXml, "C:\\Config.xml");
    // Only a document that parses can name a stored path or an install path.
    if (!stored.empty() || !installPath.empty() || version != -1) {
        wi::xml::Document document;
        if (!document.ParseFile(kProtectXml)) std::abort();
    }
    if (CXFileOperator::PathExists("C:\\Protect.xml") ||
        CXFileOperator::PathExists("C:\\qeluser.xml")) {
        std::abort();
    }
    return 0;
}
