// The C interface's protection store and registry entries.
#include <string>

#include "capi/call.h"
#include "capi/records.h"
#include "frame/text.h"
#include "webinteractive/repair.h"
#include "webinteractive/store.h"

using wi::capi::Call;
using wi::capi::CheckKind;
using wi::capi::Fail;
using wi::capi::HandOut;
using wi::capi::HandOutUnlessEmpty;
using wi::capi::Misuse;
using wi::capi::Succeeded;

namespace {

using IConfInfoInc::_ConfInfo;
using ISoftInfoInc::_SoftInfo;

std::string NotProtected(const char* guid) {
    return std::string("no protection of \"") + wi::frame::OrEmpty(guid) + "\" can be read";
}

}  // namespace

extern "C" {

wi_code wi_get_protect_xml_path(const char* guid, const char** path) {
    thread_local std::string kept;
    return Call([&] {
        return HandOutUnlessEmpty(kept, IWebInteractive::GetProtectXmlPath(guid), path,
                                  NotProtected(guid));
    });
}

wi_code wi_get_protected_install_path(const char* guid, const char** path) {
    thread_local std::string kept;
    return Call([&] {
        return HandOutUnlessEmpty(kept, IWebInteractive::GetProtectedInstallPath(guid), path,
                                  NotProtected(guid));
    });
}

wi_code wi_get_protected_version(const char* guid, int* version) {
    return Call([&] {
        if (version == nullptr) return Misuse("the result pointer is null");
        const int found = IWebInteractive::GetProtectedVersion(guid);
        if (found == -1) return Fail(WI_FAILED, NotProtected(guid));
        *version = found;
        return WI_OK;
    });
}

wi_code wi_get_file_protect_path(const char* protect_xml_path, const char* source_path,
                                 const char** path) {
    thread_local std::string kept;
    return Call([&] {
        return HandOutUnlessEmpty(
            kept, IWebInteractive::GetFileProtectPath(protect_xml_path, source_path), path,
            "the protect document stores no such path");
    });
}

wi_code wi_protect_files_to_local(const wi_record* soft, void* cancel_event) {
    return Call([&] {
        if (const wi_code wrong = CheckKind<_SoftInfo>(soft)) return wrong;
        return Succeeded(
            IWebInteractive::ProtectFilesToLocal(std::get<_SoftInfo>(soft->value), cancel_event),
            "the protection was refused, failed or was cancelled");
    });
}

wi_code wi_protect_config(const wi_list* configs, const char** path) {
    thread_local std::string kept;
    return Call([&] {
        if (const wi_code wrong = CheckKind<_ConfInfo>(configs)) return wrong;
        const auto entries = wi::capi::ToContainer<std::set<_ConfInfo>>(*configs);
        return HandOut(kept, IWebInteractive::ProtectConfig(entries), path);
    });
}

wi_code wi_restore_config(const wi_record* soft, wi_record* entry) {
    return Call([&] {
        if (const wi_code wrong = CheckKind<_SoftInfo>(soft)) return wrong;
        if (entry != nullptr) {
            if (const wi_code wrong = CheckKind<LogInfo>(entry)) return wrong;
        }
        LogInfo ignored;
        LogInfo& report = entry != nullptr ? std::get<LogInfo>(entry->value) : ignored;
        return Succeeded(IWebInteractive::RestoreConfig(std::get<_SoftInfo>(soft->value), report),
                         "the stored configuration was not found or not read, or an entry of it was not applied");
    });
}

wi_code wi_clean_protect_software(const char* guid) {
    return Call([&] {
        return Succeeded(IWebInteractive::CleanProtectSoftware(guid),
                         std::string("\"") + wi::frame::OrEmpty(guid) +
                             "\" does not count as protected");
    });
}

wi_code wi_install_conf(const wi_record* entry) {
    return Call([&] {
        if (const wi_code wrong = CheckKind<_ConfInfo>(entry)) return wrong;
        return Succeeded(ISoftRepairInc::InstallConf(std::get<_ConfInfo>(entry->value)),
                         "the entry was refused or the registry cannot be written");
    });
}

wi_code wi_list_installed_conf(wi_list** entries) {
    return Call([&] {
        if (entries == nullptr) return Misuse("the result pointer is null");
        std::list<_ConfInfo> found;
        if (!ISoftRepairInc::ListInstalledConf(found)) {
            return Fail(WI_FAILED, "the registry cannot be listed");
        }
        return wi::capi::HandOutList(found, entries);
    });
}

}  // extern "C"
