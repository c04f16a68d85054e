// The C interface's version, host extras, status lines, parameters and frame utilities.
#include <cstdarg>
#include <cstdio>
#include <list>
#include <string>

#include "capi/call.h"
#include "capi/records.h"
#include "frame/text.h"
#include "webinteractive/frame.h"
#include "webinteractive/host.h"
#include "webinteractive/status.h"

using wi::capi::Call;
using wi::frame::OrEmpty;
using wi::capi::Fail;
using wi::capi::HandOut;

extern "C" {

const char* wi_version(void) { return IHostInc::GetVersion(); }

int wi_version_number(void) { return IHostInc::GetVersionNumber(); }

int wi_last_upload_status(void) { return IHostInc::GetLastUploadStatus(); }

int wi_last_download_status(void) { return IHostInc::GetLastDownloadStatus(); }

wi_code wi_set_machine_prefix(const char* prefix) {
    return Call([&] {
        IHostInc::SetMachinePrefix(prefix);
        return WI_OK;
    });
}

wi_code wi_get_machine_prefix(const char** prefix) {
    thread_local std::string kept;
    return Call([&] { return HandOut(kept, IHostInc::GetMachinePrefix(), prefix); });
}

wi_code wi_get_special_folder_path(int id, const char** path) {
    thread_local std::string kept;
    return Call([&] {
        return wi::capi::HandOutUnlessEmpty(kept, IHostInc::GetSpecialFolderPath(id), path,
                                            "the machine has no special folder " +
                                                std::to_string(id));
    });
}

wi_code wi_get_fixed_drives(const char** drives) {
    thread_local std::string kept;
    return Call([&] { return HandOut(kept, IHostInc::GetFixedDrives(), drives); });
}

wi_code wi_get_config_value(const char* key, const char** value) {
    thread_local std::string kept;
    return Call([&] { return HandOut(kept, IHostInc::GetConfigValue(key), value); });
}

wi_code wi_read_machine_file(const char* path, const char** bytes, size_t* size) {
    return Call([&] {
        if (bytes == nullptr || size == nullptr) return wi::capi::Misuse("a result pointer is null");
        std::size_t read = 0;
        const char* content = IHostInc::ReadMachineFile(path, &read);
        if (content == nullptr) {
            return Fail(WI_FAILED, std::string("the file ") + OrEmpty(path) + " cannot be read");
        }
        *bytes = content;
        *size = read;
        return WI_OK;
    });
}

wi_code wi_remove_partial_files(const char* folder, int tree, int own_process, int* removed) {
    return Call([&] {
        if (removed == nullptr) return wi::capi::Misuse("the result pointer is null");
        *removed = IHostInc::RemovePartialFiles(folder, tree != 0, own_process != 0);
        return WI_OK;
    });
}

wi_code wi_resolve_host_name(const char* url, int* resolved, const char** host) {
    thread_local std::string kept;
    return Call([&] {
        if (resolved == nullptr) return wi::capi::Misuse("the result pointer is null");
        const char* name = nullptr;
        *resolved = IHostInc::ResolveHostName(url, &name);
        return host != nullptr ? HandOut(kept, name, host) : WI_OK;
    });
}

size_t wi_max_document_bytes(void) { return IHostInc::GetMaxDocumentBytes(); }

wi_code wi_read_record_document(const char* bytes, size_t size, wi_list** softs) {
    return Call([&] {
        if (softs == nullptr) return wi::capi::Misuse("the result pointer is null");
        if (bytes == nullptr && size != 0) return wi::capi::Misuse("the bytes are null");
        std::list<ISoftInfoInc::_SoftInfo> read;
        const char* reason = nullptr;
        if (IHostInc::ReadRecordDocument(bytes, size, read, &reason) != 1) {
            return Fail(WI_FAILED, reason);
        }
        return wi::capi::HandOutList(read, softs);
    });
}

wi_code wi_narrow_to_utf8(const char* narrow, const char** utf8) {
    thread_local std::string kept;
    return Call([&] {
        const char* converted = IHostInc::NarrowToUtf8(OrEmpty(narrow));
        if (converted == nullptr) {
            return Fail(WI_FAILED, "the text holds a sequence the narrow code page does not know");
        }
        return HandOut(kept, converted, utf8);
    });
}

wi_code wi_utf8_to_narrow(const char* utf8, const char** narrow) {
    thread_local std::string kept;
    return Call([&] {
        const char* converted = IHostInc::Utf8ToNarrow(OrEmpty(utf8));
        if (converted == nullptr) {
            return Fail(WI_FAILED, "the text is no UTF-8 or the narrow code page cannot hold it");
        }
        return HandOut(kept, converted, narrow);
    });
}

wi_code wi_narrow_char_length(const char* text, size_t size, size_t* length) {
    return Call([&] {
        if (length == nullptr) return wi::capi::Misuse("the result pointer is null");
        if (text == nullptr && size != 0) return wi::capi::Misuse("the text is null");
        *length = IHostInc::NarrowCharLength(text, size);
        return WI_OK;
    });
}

wi_code wi_create_cancel_event(int manual_reset, void** event) {
    return Call([&] {
        if (event == nullptr) return wi::capi::Misuse("the result pointer is null");
        void* made = IHostInc::CreateCancelEvent(manual_reset != 0);
        if (made == nullptr) return Fail(WI_FAILED, "the event could not be made");
        *event = made;
        return WI_OK;
    });
}

wi_code wi_signal_cancel_event(void* event) {
    return Call([&] {
        if (event == nullptr) return wi::capi::Misuse("the event is null");
        IHostInc::SignalCancelEvent(event);
        return WI_OK;
    });
}

wi_code wi_reset_cancel_event(void* event) {
    return Call([&] {
        if (event == nullptr) return wi::capi::Misuse("the event is null");
        IHostInc::ResetCancelEvent(event);
        return WI_OK;
    });
}

wi_code wi_free_cancel_event(void* event) {
    return Call([&] {
        if (event != nullptr) IHostInc::FreeCancelEvent(event);
        return WI_OK;
    });
}

wi_code wi_set_status_sink(wi_status_sink sink, void* context) {
    return Call([&] {
        IHelperInc::SetStatusSink(sink, context);
        return WI_OK;
    });
}

wi_code wi_set_param_file(const char* path) {
    return Call([&] {
        return wi::capi::Succeeded(IHelperInc::SetParamFile(path),
                                   std::string("the parameter file ") + OrEmpty(path) + " cannot be read");
    });
}

wi_code wi_make_status(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const wi_code code = Call([&] {
        // Formatted here: a variadic call cannot be passed on. First measured, then written.
        const char* text = format != nullptr ? format : "";
        va_list copy;
        va_copy(copy, arguments);
        const int needed = std::vsnprintf(nullptr, 0, text, copy);
        va_end(copy);
        if (needed < 0) return Fail(WI_FAILED, "the format cannot be used");
        std::string line(static_cast<std::size_t>(needed) + 1, '\0');
        std::vsnprintf(&line[0], line.size(), text, arguments);
        line.resize(static_cast<std::size_t>(needed));
        IHelperInc::SetStatus(line);
        return WI_OK;
    });
    va_end(arguments);
    return code;
}

wi_code wi_set_status(const char* line) {
    return Call([&] {
        std::string text = OrEmpty(line);
        IHelperInc::SetStatus(text);
        return WI_OK;
    });
}

wi_code wi_read_param(const char* name, const char** value) {
    thread_local std::string kept;
    return Call([&] {
        std::string key = OrEmpty(name);
        return HandOut(kept, IHelperInc::ReadParam(key).c_str(), value);
    });
}

wi_code wi_save_param(const char* name, const char* value) {
    return Call([&] {
        std::string key = OrEmpty(name);
        std::string text = OrEmpty(value);
        IHelperInc::SaveParam(key, text);
        return WI_OK;
    });
}

wi_code wi_init(const char* config_text) {
    return Call([&] {
        return wi::capi::Succeeded(IWebInteractive::Init(config_text),
                                   "the configuration document does not parse or lacks one of "
                                   "UpUserUrl, ReadUserUrl, UpSysUrl, MachineNum, DownSysPatchsUrl");
    });
}

wi_code wi_clean_string(const char* text, const char** cleaned) {
    thread_local std::string kept;
    return Call([&] {
        std::string copy = OrEmpty(text);
        return HandOut(kept, IWebInteractive::CleanString(copy), cleaned);
    });
}

wi_code wi_excuse_dos_command(const char* arguments) {
    return Call([&] {
        std::string text = OrEmpty(arguments);
        IWebInteractive::ExcuseDosCommand(text);
        return WI_OK;
    });
}

wi_code wi_makesure_dir_exist(const char* path) {
    return Call([&] {
        std::string text = OrEmpty(path);
        IWebInteractive::MakesureDirExist(text);
        return WI_OK;
    });
}

wi_code wi_get_temp_xml_file_path(const char* base_name, const char** path) {
    thread_local std::string kept;
    return Call([&] { return HandOut(kept, IWebInteractive::GetTempXmlFilePath(base_name), path); });
}

}  // extern "C"
