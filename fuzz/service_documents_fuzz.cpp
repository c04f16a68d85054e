// Fuzz target for the reference service's readers of uploaded and placed documents (software
// lists, file lists, install infos, patch lists, user information): any bytes must be read or
// skipped without a crash, and every answer made from them is a document of the expected root.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "version_lists.h"
#include "xml_lists.h"

namespace {

bool HasRoot(const std::string& document, const std::string& root) {
    return document.rfind("<?xml", 0) == 0 &&
           (document.find("<" + root + ">") != std::string::npos ||
            document.find("<" + root + "/>") != std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path upload =
        std::filesystem::temp_directory_path() /
        ("wi-service-fuzz-" + std::to_string(reinterpret_cast<std::uintptr_t>(&size)) + ".body");
    {
        std::ofstream out(upload, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    if (!HasRoot(wi::service::SoftwareIdList({upload}), "softwares")) std::abort();
    if (const auto list = wi::service::SoftwareFileList({upload}, "{G}")) {
        if (list->find("<softwares>") == std::string::npos) std::abort();
    }
    if (const auto patches = wi::service::PatchList({upload}, "{G}")) {
        if (!HasRoot(*patches, "softwares")) std::abort();
    }
    // The same bytes as the file list and as the placed patch list, asking for the newest
    // version and for one by number.
    for (const long number : {-1L, 2L}) {
        if (const auto list = wi::service::CertainFileList({upload}, upload, "{G}", {number})) {
            if (list->find("<softwares>") == std::string::npos) std::abort();
        }
    }
    if (const auto qelUser = wi::service::QelUser({upload}, "M1")) {
        if (!HasRoot(wi::service::UserAnswer(*qelUser), "user")) std::abort();
    }
    std::filesystem::remove(upload);
    return 0;
}
