// The C interface's transfers, documents and uploads.
#include <string>

#include "capi/call.h"
#include "capi/records.h"
#include "webinteractive/documents.h"
#include "webinteractive/host.h"
#include "webinteractive/transfer.h"

using wi::capi::Call;
using wi::capi::CheckKind;
using wi::capi::Fail;
using wi::capi::HandOut;
using wi::capi::Misuse;
using wi::capi::ToContainer;
using wi::capi::Uploaded;
using wi::capi::WatchDownloads;
using wi::capi::WatchUploads;

namespace {

using SoftIds = std::set<ISoftInfoInc::_SoftID>;
using Softs = std::list<ISoftInfoInc::_SoftInfo>;
using ISoftInfoInc::_SoftInfo;

constexpr const char* kNoDocumentSent = "no document was sent";

}  // namespace

extern "C" {

wi_code wi_download_file(const char* url, const char* local_path, const char* display_name,
                         void* cancel_event) {
    return Call([&] {
        const auto download = WatchDownloads();
        return wi::capi::Downloaded(
            download, IWebInteractive::DownloadFile(url, local_path, display_name, cancel_event),
            url, "no download was made");
    });
}

wi_code wi_upload_file(const char* url, const char* file_path, char* reply,
                       const char* display_name) {
    return Call([&] {
        const auto upload = WatchUploads();
        const int result = IWebInteractive::UploadFile(url, file_path, reply, display_name, nullptr);
        return Uploaded(upload, result, url, "no upload was made");
    });
}

wi_code wi_get_download_size(const char* url, const char* file_name, int64_t* size) {
    return Call([&] {
        if (size == nullptr) return Misuse("the result pointer is null");
        const std::int64_t found = IWebInteractive::GetDownloadSize(url, file_name);
        if (found < 0) return Fail(WI_FAILED, "the service does not tell the file's size");
        *size = found;
        return WI_OK;
    });
}

wi_code wi_create_soft_list_xml(const wi_list* ids, const char** xml) {
    thread_local std::string kept;
    return Call([&] {
        if (const wi_code wrong = CheckKind<ISoftInfoInc::_SoftID>(ids)) return wrong;
        return HandOut(kept, IWebInteractive::CreateSoftListXml(ToContainer<SoftIds>(*ids)), xml);
    });
}

wi_code wi_upload_soft_list(const char* url, const wi_list* ids) {
    return Call([&] {
        if (const wi_code wrong = CheckKind<ISoftInfoInc::_SoftID>(ids)) return wrong;
        const auto upload = WatchUploads();
        const int result = IWebInteractive::UploadSoftList(url, ToContainer<SoftIds>(*ids));
        return Uploaded(upload, result, url, kNoDocumentSent);
    });
}

wi_code wi_create_file_list_xml(const wi_list* softs, const char** xml) {
    thread_local std::string kept;
    return Call([&] {
        if (const wi_code wrong = CheckKind<_SoftInfo>(softs)) return wrong;
        return HandOut(kept, IWebInteractive::CreateFileListXml(ToContainer<Softs>(*softs)), xml);
    });
}

wi_code wi_save_upload_file_list_xml(const char* path, const wi_list* softs) {
    return Call([&] {
        if (const wi_code wrong = CheckKind<_SoftInfo>(softs)) return wrong;
        IWebInteractive::SaveUploadFileListXml(path, ToContainer<Softs>(*softs));
        return WI_OK;
    });
}

wi_code wi_upload_file_list(const char* url, const wi_list* softs) {
    return Call([&] {
        if (const wi_code wrong = CheckKind<_SoftInfo>(softs)) return wrong;
        const auto upload = WatchUploads();
        const int result = IWebInteractive::UploadFileList(url, ToContainer<Softs>(*softs));
        return Uploaded(upload, result, url, "no document was sent: the list makes none");
    });
}

wi_code wi_save_install_info_xml(const wi_record* soft, const char** path) {
    thread_local std::string kept;
    return Call([&] {
        if (const wi_code wrong = CheckKind<_SoftInfo>(soft)) return wrong;
        return HandOut(kept, IWebInteractive::SaveInstallInfoXml(std::get<_SoftInfo>(soft->value)),
                       path);
    });
}

wi_code wi_upload_file_info(const char* url, const wi_record* soft, const char** reply) {
    thread_local std::string kept;
    return Call([&] {
        if (const wi_code wrong = CheckKind<_SoftInfo>(soft)) return wrong;
        if (reply == nullptr) return Misuse("the result pointer is null");
        const auto upload = WatchUploads();
        const std::string text =
            IWebInteractive::UploadFileInfo(url, std::get<_SoftInfo>(soft->value));
        if (const wi_code failed = Uploaded(upload, 1, url, kNoDocumentSent)) return failed;
        return HandOut(kept, text.c_str(), reply);
    });
}

wi_code wi_save_up_sys_info_xml(const char** path) {
    thread_local std::string kept;
    return Call([&] {
        return wi::capi::HandOutUnlessEmpty(kept, IWebInteractive::SaveUpSysInfoXml(), path,
                                            "the system information could not be written");
    });
}

wi_code wi_update_sys_info(void) {
    return Call([&] {
        const auto upload = WatchUploads();
        const int result = IWebInteractive::UpdateSysInfo();
        return wi::capi::ConfirmedUpload(upload, result, IHostInc::GetConfigValue("UpSysUrl"),
                                         kNoDocumentSent);
    });
}

wi_code wi_upload_soft_files(const char* url, const char* first_name, const char* second_name,
                             const char* local_path) {
    return Call([&] {
        const auto upload = WatchUploads();
        const int result =
            IWebInteractive::UploadSoftFiles(url, first_name, second_name, local_path);
        return Uploaded(upload, result, url, "nothing was sent: the first part of the name is empty");
    });
}

}  // extern "C"
