#include "store/document_replace.h"

#include <memory>
#include <vector>

#include "inc/file_error.h"
#include "platform/files.h"
#include "webinteractive/FileOperator.h"

namespace wi::store {

void ReplaceStoreDocument(const std::string& source, const std::string& destination) {
    constexpr const char* kOperation = "CXFileOperator::CopyFile";
    if (source.empty() || destination.empty()) return;
    if (CXFileOperator::PathExists(destination)) {
        wi::platform::SetFileAttributes(destination, wi::platform::kAttrNormal);
    }
    std::unique_ptr<wi::platform::File> in = wi::platform::OpenForRead(source);
    if (!in) wi::inc::RaiseFileError(kOperation);
    std::unique_ptr<wi::platform::PendingFile> out = wi::platform::OpenReplacement(destination, wi::platform::Durability::kFlushed);
    if (!out) wi::inc::RaiseFileError(kOperation);
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const long long count = in->Read(buffer.data(), buffer.size());
        if (count < 0) wi::inc::RaiseFileError(kOperation);  // `out` is abandoned: old file kept
        if (count == 0) break;
        if (!out->Write(buffer.data(), static_cast<std::size_t>(count))) {
            wi::inc::RaiseFileError(kOperation);
        }
    }
    if (!out->Commit()) wi::inc::RaiseFileError(kOperation);
}

}  // namespace wi::store
