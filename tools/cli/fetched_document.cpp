#include "fetched_document.h"

#include <exception>
#include <utility>

#include "webinteractive/webinteractive.h"

namespace cli {

namespace {

// Removes the temporary document when the fetch ends, whatever way it ends.
class TemporaryDocument {
public:
    explicit TemporaryDocument(std::string path) : path_(std::move(path)) {}
    TemporaryDocument(const TemporaryDocument&) = delete;
    TemporaryDocument& operator=(const TemporaryDocument&) = delete;
    ~TemporaryDocument() {
        try {
            if (CXFileOperator::PathExists(path_)) CXFileOperator::DeleteFile(path_);
        } catch (const std::exception&) {
            // A document left in the temporary folder does no harm.
        }
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The bytes of a file of the machine, read by the library, which maps the machine's paths.
bool ReadMachineFile(const std::string& path, std::string& text) {
    std::size_t size = 0;
    const char* bytes = IHostInc::ReadMachineFile(path.c_str(), &size);
    if (bytes == nullptr) return false;
    text.assign(bytes, size);
    return true;
}

}  // namespace

bool FetchDocument(const std::string& url, const char* baseName, void* cancelEvent,
                   std::string& text, std::string& error) {
    const TemporaryDocument document(IWebInteractive::GetTempXmlFilePath(baseName));
    if (IWebInteractive::DownloadFile(url.c_str(), document.path().c_str(), nullptr,
                                      cancelEvent) != 1) {
        error = "the service gave no document at " + url + ": check the address";
        return false;
    }
    if (!ReadMachineFile(document.path(), text)) {
        error = "the downloaded document " + document.path() + " cannot be read";
        return false;
    }
    return true;
}

}  // namespace cli
