// The C interface's lists and files fetched from the service.
#include <string>
#include <vector>

#include "capi/call.h"
#include "capi/records.h"
#include "webinteractive/lists.h"

using wi::capi::Call;
using wi::capi::Downloaded;
using wi::capi::Fail;
using wi::capi::HandOut;
using wi::capi::HandOutList;
using wi::capi::Misuse;
using wi::capi::WatchDownloads;

namespace {

// Room for any path the operations write into a caller's buffer: the longest Windows path and
// its zero.
constexpr std::size_t kPathRoom = 32768;

constexpr const char* kNothingAsked = "nothing was asked of the service: an argument is empty";

// A list fetched from the service: WI_OK with the records, also none, when the download was
// answered with a status of the 2xx kind; WI_FAILED with the reason otherwise.
template <typename Container>
wi_code FetchedList(const wi::capi::TransferWatch& download, const Container& records,
                    const char* url, wi_list** result) {
    if (!download.Accepted()) return Fail(WI_FAILED, download.Reason(url, kNothingAsked));
    return HandOutList(records, result);
}

// A file downloaded to a path the operation wrote into a buffer.
template <typename Operation>
wi_code DownloadedTo(const char* url, std::string& kept, const char** path, Operation operation) {
    if (path == nullptr) return Misuse("the result pointer is null");
    std::vector<char> buffer(kPathRoom, '\0');
    const auto download = WatchDownloads();
    const int result = operation(buffer.data());
    if (const wi_code failed = Downloaded(download, result, url, kNothingAsked)) return failed;
    return HandOut(kept, buffer.data(), path);
}

}  // namespace

extern "C" {

wi_code wi_download_soft_list(const char* url, wi_list** ids) {
    return Call([&] {
        if (ids == nullptr) return Misuse("the result pointer is null");
        const auto download = WatchDownloads();
        return FetchedList(download, IWebInteractive::DownloadSoftList(url), url, ids);
    });
}

wi_code wi_parse_soft_id_list(const char* text, wi_list** ids) {
    return Call([&] {
        if (ids == nullptr) return Misuse("the result pointer is null");
        return HandOutList(IWebInteractive::ParseSoftIDList(text), ids);
    });
}

wi_code wi_download_file_list(const char* url, const char* guid, const char* special_code,
                              const char* pn_version, int* locked, void* cancel_event,
                              wi_list** softs) {
    return Call([&] {
        if (softs == nullptr) return Misuse("the result pointer is null");
        int documentLocked = 0;
        const auto download = WatchDownloads();
        const auto& records = IWebInteractive::DownloadFileList(
            url, guid, special_code, pn_version, documentLocked, cancel_event);
        if (const wi_code failed = FetchedList(download, records, url, softs)) return failed;
        if (locked != nullptr) *locked = documentLocked;
        return WI_OK;
    });
}

wi_code wi_save_download_file_list_xml(const char* url, const char* guid,
                                       const char* special_code, const char* pn_version,
                                       const char** path) {
    thread_local std::string kept;
    return Call([&] {
        if (path == nullptr) return Misuse("the result pointer is null");
        const auto download = WatchDownloads();
        const std::string saved =
            IWebInteractive::SaveDownloadFileListXml(url, guid, special_code, pn_version);
        if (saved.empty()) return Fail(WI_FAILED, download.Reason(url, kNothingAsked));
        return HandOut(kept, saved.c_str(), path);
    });
}

wi_code wi_download_certain_file_list(const char* url, const char* guid, int version,
                                      wi_record** soft) {
    return Call([&] {
        if (soft == nullptr) return Misuse("the result pointer is null");
        const auto download = WatchDownloads();
        const auto& record = IWebInteractive::DownloadCertainFileList(url, guid, version);
        if (!download.Accepted()) return Fail(WI_FAILED, download.Reason(url, kNothingAsked));
        return wi::capi::HandOutRecord(record, soft);
    });
}

wi_code wi_save_certain_file_list_xml(const char* url, const char* guid, int version,
                                      const char** path) {
    thread_local std::string kept;
    return Call([&] {
        if (path == nullptr) return Misuse("the result pointer is null");
        const auto download = WatchDownloads();
        const std::string saved = IWebInteractive::SaveCertainFileListXml(url, guid, version);
        if (saved.empty()) return Fail(WI_FAILED, download.Reason(url, kNothingAsked));
        return HandOut(kept, saved.c_str(), path);
    });
}

wi_code wi_parse_patchs_list(const char* text, wi_list** softs) {
    return Call([&] {
        if (softs == nullptr) return Misuse("the result pointer is null");
        return HandOutList(IWebInteractive::ParsePatchsList(text), softs);
    });
}

wi_code wi_download_patch_file(const char* url, const char* patch_id, const char** path) {
    thread_local std::string kept;
    return Call([&] {
        return DownloadedTo(url, kept, path, [&](char* buffer) {
            return IWebInteractive::DownloadPatchFile(url, patch_id, buffer);
        });
    });
}

wi_code wi_download_soft_file(const char* url, const char* guid, const char* soft_code,
                              const char* file_code, int file_type, const char** path) {
    thread_local std::string kept;
    return Call([&] {
        return DownloadedTo(url, kept, path, [&](char* buffer) {
            return IWebInteractive::DownloadSoftFile(url, guid, soft_code, file_code, file_type,
                                                     buffer);
        });
    });
}

wi_code wi_download_install_file(const char* url, const char* subdir, const char* file_name,
                                 void* cancel_event, const char** path) {
    thread_local std::string kept;
    return Call([&] {
        return DownloadedTo(url, kept, path, [&](char* buffer) {
            return IWebInteractive::DownloadInstallFile(url, subdir, file_name, buffer,
                                                        cancel_event);
        });
    });
}

wi_code wi_download_install_file1(const char* url, const char* subdir, const char* file_name,
                                  const char* target_dir, void* cancel_event) {
    return Call([&] {
        const auto download = WatchDownloads();
        const int result =
            IWebInteractive::DownloadInstallFile1(url, subdir, file_name, target_dir, cancel_event);
        return Downloaded(download, result, url, kNothingAsked);
    });
}

wi_code wi_remove_file_info(const char* url, const char* guid, const char* version,
                            const char* character_code) {
    return Call([&] {
        const auto download = WatchDownloads();
        const int result = IWebInteractive::RemoveFileInfo(url, guid, version, character_code);
        return Downloaded(download, result, url, kNothingAsked);
    });
}

}  // extern "C"
