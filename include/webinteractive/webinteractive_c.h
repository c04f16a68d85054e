/**
 * @file webinteractive_c.h
 * @brief The C interface of webinteractive, for hosts in any language.
 *
 * Every operation of the C++ interface (webinteractive.h) and every host extra, with plain types
 * only: narrow strings (`const char*`, in the narrow code page), integers, 64-bit sizes and
 * opaque handles. It compiles as C99 and as C++, and a host built with any compiler (MSVC on
 * Windows) or any language that calls C (Python's ctypes, C#'s P/Invoke) can use it. The
 * functions are a thin layer over the C++ operations of the same names: `wi_upload_file` is
 * `IWebInteractive::UploadFile`, `wi_log_stop` is `CLogInc::StopLog`, `wi_path_exists` is
 * `CXFileOperator::PathExists`, and their documentation in the C++ headers holds for them.
 *
 * **Results.** Nearly every function returns a #wi_code: #WI_OK when the operation did what it
 * was asked, another code when it did not. Its results come back through pointer arguments,
 * written only on #WI_OK. After any call that returns a code, wi_last_error() tells the reason of
 * this thread's failure, or "" after a success. No C++ exception leaves the interface: an
 * exception of the C++ operation becomes its code and its text the reason.
 *
 * **Texts.** A `const char**` result points into storage of the library that stays valid until
 * the same thread calls the same function again. Texts read from a record stay valid until that
 * record is changed or freed. A null `const char*` argument counts as "".
 *
 * **Records and lists.** The records of the C++ interface (`_SoftInfo`, `_FileInfo`, ...) are
 * #wi_record handles, and the sets and lists of them #wi_list handles. Their fields are read and
 * written by name, the name of the C++ member (records.h): wi_record_get_text(soft, "GUID", &guid).
 * Records and lists are made by the host (wi_record_new(), wi_list_new()) or handed out by an
 * operation, and are always the host's to free (wi_record_free(), wi_list_free()). An operation
 * that takes one copies what it needs, and one that hands one out gives a copy of its own: a
 * later call never changes it.
 *
 * **Threads.** The operations may run on several threads at once as their C++ documentation
 * allows. A record or list handle is used by one thread at a time.
 */
#ifndef WEBINTERACTIVE_C_H
#define WEBINTERACTIVE_C_H

#include <stddef.h>
#include <stdint.h>

#include "webinteractive/export.h"
#include "webinteractive/version.h"

#ifdef __cplusplus
extern "C" {
#endif

/** @name Results */
/** @{ */

/** The outcome of a call. */
typedef enum wi_code {
    WI_OK = 0,             /**< The operation did what it was asked. */
    WI_FAILED = 1,         /**< The operation reported failure: its C++ form answered 0, false,
                                -1 or "" (the reason says which failure where it is known). */
    WI_FILE_ERROR = 2,     /**< A file operation failed: the C++ operation raised CXException. */
    WI_DOWNLOAD_ERROR = 3, /**< The download component refused to start a transfer: the C++
                                operation raised CDownloadError. */
    WI_ERROR = 4,          /**< The operation raised another error (a document that could not be
                                written, for example). */
    WI_NO_MEMORY = 5,      /**< Memory ran out. */
    WI_MISUSE = 6          /**< The call itself was wrong: a null handle or result pointer, a
                                field the record does not have, an index past the end. */
} wi_code;

/** The reason of this thread's last failed call ("" when the last call succeeded). It stays
    valid until the thread's next call. */
WI_EXPORT const char* wi_last_error(void);

/** @} */

/** @name Version and host extras */
/** @{ */

/** The version of the loaded library, "MAJOR.MINOR.PATCH"; compare with
    WEBINTERACTIVE_VERSION_STRING, the version of the headers. */
WI_EXPORT const char* wi_version(void);
/** The version of the loaded library as a number, in the form of
    WEBINTERACTIVE_VERSION_NUMBER. */
WI_EXPORT int wi_version_number(void);

/** The HTTP status of the last answer to this thread's last upload (wi_upload_file and every
    operation that uploads), 0 when it received none. */
WI_EXPORT int wi_last_upload_status(void);
/** The HTTP status of the last answer to this thread's last download (wi_download_file and every
    operation that fetches from the service), 0 when it received none. */
WI_EXPORT int wi_last_download_status(void);

/** Where the emulated Windows machine lives (posix): `IHostInc::SetMachinePrefix`. */
WI_EXPORT wi_code wi_set_machine_prefix(const char* prefix);
/** The machine prefix in use (posix), "" on Windows. */
WI_EXPORT wi_code wi_get_machine_prefix(const char** prefix);
/** The path of special folder 36, 37, 45 or 46; #WI_FAILED when the machine has none. */
WI_EXPORT wi_code wi_get_special_folder_path(int id, const char** path);
/** The fixed drives, in letter order, separated by one space ("C: D:"). */
WI_EXPORT wi_code wi_get_fixed_drives(const char** drives);
/** A configuration value as the last wi_init left it ("" for other names and before it). */
WI_EXPORT wi_code wi_get_config_value(const char* key, const char** value);
/** The bytes of a file of the machine (a Windows path) and their count; #WI_FAILED when it cannot
    be read or holds more than 128 MiB. The bytes stay valid until the thread's next call of this
    function. */
WI_EXPORT wi_code wi_read_machine_file(const char* path, const char** bytes, size_t* size);
/** Removes the temporary files (".~wi<process>-<n>") that writes of the library left in a folder
    of the machine, and with `tree` nonzero in the folders below it: with `own_process` nonzero
    this process's, otherwise those of processes that no longer run; their count in *removed. */
WI_EXPORT wi_code wi_remove_partial_files(const char* folder, int tree, int own_process,
                                          int* removed);
/** Looks up the host of an http or https address as the transfers do: *resolved is 1 when it
    resolves to an IPv4 address, 0 when not, -1 when there is nothing to look up (no such
    address, or an IPv6 one); *host (unless null) the host name. */
WI_EXPORT wi_code wi_resolve_host_name(const char* url, int* resolved, const char** host);
/** A narrow text in UTF-8; #WI_FAILED when it holds a sequence the narrow code page lacks. */
WI_EXPORT wi_code wi_narrow_to_utf8(const char* narrow, const char** utf8);
/** A UTF-8 text in the narrow code page; #WI_FAILED when it is no UTF-8 or the code page cannot
    hold it. */
WI_EXPORT wi_code wi_utf8_to_narrow(const char* utf8, const char** narrow);
/** The byte length of the narrow character that begins the `size` bytes at `text`: 1 for a byte
    that begins no valid character, 0 when size is 0. */
WI_EXPORT wi_code wi_narrow_char_length(const char* text, size_t size, size_t* length);

/** Makes a cancel event for the `cancel_event` arguments (on Windows an event HANDLE):
    manual_reset nonzero keeps it signalled until reset, zero lets one test consume it. */
WI_EXPORT wi_code wi_create_cancel_event(int manual_reset, void** event);
WI_EXPORT wi_code wi_signal_cancel_event(void* event); /**< Signals the event. */
WI_EXPORT wi_code wi_reset_cancel_event(void* event);  /**< Resets the event. */
WI_EXPORT wi_code wi_free_cancel_event(void* event);   /**< Frees the event. */

/** Receives every status line, in the narrow code page, without a line end. */
typedef void (*wi_status_sink)(const char* line, void* context);
/** Installs the status sink; null restores the default, which writes each line to stderr. */
WI_EXPORT wi_code wi_set_status_sink(wi_status_sink sink, void* context);
/** Persists the named parameters to the file (`IHelperInc::SetParamFile`); #WI_FAILED when the
    file exists but cannot be read. */
WI_EXPORT wi_code wi_set_param_file(const char* path);

/** @} */

/** @name Records and lists */
/** @{ */

/** One record: a software, one of its files, ... (copied in and out of the operations). */
typedef struct wi_record wi_record;
/** A list of records of one kind, in order. */
typedef struct wi_list wi_list;

/** The kinds of record. */
typedef enum wi_record_kind {
    WI_TEXT = 0,        /**< One text, field "text": the details of a log entry, directory
                             entries. */
    WI_SOFT_ID = 1,     /**< ISoftInfoInc::_SoftID */
    WI_SOFT_INFO = 2,   /**< ISoftInfoInc::_SoftInfo */
    WI_FILE_INFO = 3,   /**< IFileInfoInc::_FileInfo */
    WI_DEP_INFO = 4,    /**< IDepInfoInc::_DepInfo */
    WI_CONF_INFO = 5,   /**< IConfInfoInc::_ConfInfo */
    WI_PATCH_INFO = 6,  /**< _PatchInfo */
    WI_LOG_INFO = 7,    /**< LogInfo, an entry of the operation log */
    WI_USER_INFO = 8    /**< IUserInfoInc::UserInfo (fields s1 to s6, b1 to b3, n) */
} wi_record_kind;

/** The kinds of field. */
typedef enum wi_field_type {
    WI_FIELD_TEXT = 0, /**< read with wi_record_get_text, written with wi_record_set_text */
    WI_FIELD_INT = 1,  /**< integers and truth values: wi_record_get_int, wi_record_set_int */
    WI_FIELD_LIST = 2  /**< a set or list of records: wi_record_get_list, wi_record_set_list */
} wi_field_type;

/** The field at the index (from 0, in the order of the C++ members) of a kind of record: its
    name, type, and for a list field the kind of its records (else -1). #WI_MISUSE past the last
    field. */
WI_EXPORT wi_code wi_record_field(wi_record_kind kind, int index, const char** name,
                                  wi_field_type* type, int* list_kind);

/** A new record of the kind, with the initial values of its C++ record. */
WI_EXPORT wi_code wi_record_new(wi_record_kind kind, wi_record** record);
/** A new record holding a copy of the record (of a list's record, to change it). */
WI_EXPORT wi_code wi_record_copy(const wi_record* record, wi_record** copy);
/** Frees the record; null is allowed. */
WI_EXPORT void wi_record_free(wi_record* record);
/** The record's kind. */
WI_EXPORT wi_code wi_record_get_kind(const wi_record* record, wi_record_kind* kind);
/** A text field. */
WI_EXPORT wi_code wi_record_get_text(const wi_record* record, const char* field,
                                     const char** value);
/** Sets a text field to a copy of the value. */
WI_EXPORT wi_code wi_record_set_text(wi_record* record, const char* field, const char* value);
/** An integer field (truth values and flags are 0 or 1). */
WI_EXPORT wi_code wi_record_get_int(const wi_record* record, const char* field, int64_t* value);
/** Sets an integer field; #WI_MISUSE, changing nothing, for a value the member cannot hold. */
WI_EXPORT wi_code wi_record_set_int(wi_record* record, const char* field, int64_t value);
/** A new list holding copies of the records of a list field (the host frees it). */
WI_EXPORT wi_code wi_record_get_list(const wi_record* record, const char* field, wi_list** list);
/** Replaces a list field by copies of the list's records, which must be of the field's kind. A
    field that is a set in C++ (files, dependences, configs) keeps them in its order and keeps
    one of records that order as equal. */
WI_EXPORT wi_code wi_record_set_list(wi_record* record, const char* field, const wi_list* list);

/** A new empty list of records of the kind. */
WI_EXPORT wi_code wi_list_new(wi_record_kind kind, wi_list** list);
/** Frees the list and its records; null is allowed. */
WI_EXPORT void wi_list_free(wi_list* list);
/** The kind of the list's records. */
WI_EXPORT wi_code wi_list_get_kind(const wi_list* list, wi_record_kind* kind);
/** The number of records. */
WI_EXPORT wi_code wi_list_count(const wi_list* list, int64_t* count);
/** The record at the index (from 0), still the list's: valid until the list is changed or
    freed. */
WI_EXPORT wi_code wi_list_get(const wi_list* list, int64_t index, const wi_record** record);
/** Appends a copy of the record, which must be of the list's kind. */
WI_EXPORT wi_code wi_list_append(wi_list* list, const wi_record* record);

/* The host extra that reads records back from the library's documents. */
/** The most bytes wi_read_record_document reads (32 MiB). */
WI_EXPORT size_t wi_max_document_bytes(void);
/** The software records of a document the library writes (root "softwares": the file list
    document, the upload file list, the install info document, the software list) from its
    `size` bytes, as a #WI_SOFT_INFO list in document order: one record per "Version", one for a
    "software" without any. #WI_FAILED, with the reason in one line, when the bytes are no
    well-formed document (the reason names the line and column of the first error), cannot be
    decoded, hold more than wi_max_document_bytes(), or give no records (the reason names where:
    "software 2, version 1, file 7: ..."). */
WI_EXPORT wi_code wi_read_record_document(const char* bytes, size_t size, wi_list** softs);

/** @} */

/** @name Status lines and parameters (the status library, IHelperInc) */
/** @{ */

/** Formats a printf-style line and hands it to the status sink. */
WI_EXPORT wi_code wi_make_status(const char* format, ...);
/** Hands a finished line to the status sink. */
WI_EXPORT wi_code wi_set_status(const char* line);
/** The value last saved under the name, or "". */
WI_EXPORT wi_code wi_read_param(const char* name, const char** value);
/** Saves the value under the name. */
WI_EXPORT wi_code wi_save_param(const char* name, const char* value);

/** @} */

/** @name Frame and utilities */
/** @{ */

/** Reads the configuration document: #WI_FAILED when it does not parse or lacks a key. */
WI_EXPORT wi_code wi_init(const char* config_text);
/** The text without the characters 1 to 31. */
WI_EXPORT wi_code wi_clean_string(const char* text, const char** cleaned);
/** Runs the command interpreter with these arguments, hidden, and waits. */
WI_EXPORT wi_code wi_excuse_dos_command(const char* arguments);
/** Creates every missing directory of the path with the command interpreter. */
WI_EXPORT wi_code wi_makesure_dir_exist(const char* path);
/** A path for a temporary XML document. */
WI_EXPORT wi_code wi_get_temp_xml_file_path(const char* base_name, const char** path);

/** @} */

/** @name Transfers */
/** @{ */

/** The size of the reply buffer of wi_upload_file: at most 1023 bytes of reply and a zero. */
#define WI_REPLY_SIZE 1024

/** Fetches the address into the local path; #WI_FAILED (the reason names the HTTP status) when
    the file did not arrive. */
WI_EXPORT wi_code wi_download_file(const char* url, const char* local_path,
                                   const char* display_name, void* cancel_event);
/** Posts the file's bytes to the address. #WI_OK when the service accepted them (a 2xx answer);
    #WI_FAILED when it answered otherwise (a 401, a 404: wi_last_upload_status tells which) or
    not at all. reply (#WI_REPLY_SIZE bytes, or null) receives the body of any final answer. */
WI_EXPORT wi_code wi_upload_file(const char* url, const char* file_path, char* reply,
                                 const char* display_name);
/** The size of the named file as the service reports it; #WI_FAILED when it cannot be found. */
WI_EXPORT wi_code wi_get_download_size(const char* url, const char* file_name, int64_t* size);

/** @} */

/** @name Documents and their uploads
    An upload answers as wi_upload_file does. */
/** @{ */

/** The software list document of a list of #WI_SOFT_ID records. */
WI_EXPORT wi_code wi_create_soft_list_xml(const wi_list* ids, const char** xml);
/** Posts the software list document of the #WI_SOFT_ID records. */
WI_EXPORT wi_code wi_upload_soft_list(const char* url, const wi_list* ids);
/** The file list document of a list of #WI_SOFT_INFO records. */
WI_EXPORT wi_code wi_create_file_list_xml(const wi_list* softs, const char** xml);
/** Saves the file list with "Baseinfo" of the #WI_SOFT_INFO records to the path. */
WI_EXPORT wi_code wi_save_upload_file_list_xml(const char* path, const wi_list* softs);
/** Posts that file list; #WI_FAILED without a request for an empty list. */
WI_EXPORT wi_code wi_upload_file_list(const char* url, const wi_list* softs);
/** Saves the install info document of a #WI_SOFT_INFO record; its path. */
WI_EXPORT wi_code wi_save_install_info_xml(const wi_record* soft, const char** path);
/** Posts the install info document; the service's reply, #WI_FAILED when the upload failed. */
WI_EXPORT wi_code wi_upload_file_info(const char* url, const wi_record* soft, const char** reply);
/** Writes the system information document; its path, #WI_FAILED when it could not be written. */
WI_EXPORT wi_code wi_save_up_sys_info_xml(const char** path);
/** Posts the system information to UpSysUrl: #WI_OK when the reply begins with "TRUE". */
WI_EXPORT wi_code wi_update_sys_info(void);
/** Posts the local file as "first\second" (`IWebInteractive::UploadSoftFiles`). */
WI_EXPORT wi_code wi_upload_soft_files(const char* url, const char* first_name,
                                       const char* second_name, const char* local_path);

/** @} */

/** @name Lists and files from the service */
/** @{ */

/** The software ID list fetched from the address, as #WI_SOFT_ID records. A list that cannot be
    fetched or read gives #WI_FAILED with the reason. */
WI_EXPORT wi_code wi_download_soft_list(const char* url, wi_list** ids);
/** The software ID list read from a list document's text; #WI_FAILED when the text holds none. */
WI_EXPORT wi_code wi_parse_soft_id_list(const char* text, wi_list** ids);
/** The file list of one software, one #WI_SOFT_INFO record per version; locked (or null)
    receives the document's "locked" value as `IWebInteractive::DownloadFileList` sets it (0
    when it leaves it alone). #WI_FAILED, with an empty list, when no record arrived. */
WI_EXPORT wi_code wi_download_file_list(const char* url, const char* guid,
                                        const char* special_code, const char* pn_version,
                                        int* locked, void* cancel_event, wi_list** softs);
/** Fetches that document to a temporary path; #WI_FAILED when nothing arrived. */
WI_EXPORT wi_code wi_save_download_file_list_xml(const char* url, const char* guid,
                                                 const char* special_code,
                                                 const char* pn_version, const char** path);
/** The latest version of one software as a #WI_SOFT_INFO record; #WI_FAILED when its document
    did not arrive. */
WI_EXPORT wi_code wi_download_certain_file_list(const char* url, const char* guid, int version,
                                                wi_record** soft);
/** Fetches that document to a temporary path; #WI_FAILED when nothing arrived. */
WI_EXPORT wi_code wi_save_certain_file_list_xml(const char* url, const char* guid, int version,
                                                const char** path);
/** The patch list document's text as #WI_SOFT_INFO records. */
WI_EXPORT wi_code wi_parse_patchs_list(const char* text, wi_list** softs);
/** Downloads the patch to the templates folder; its local path. */
WI_EXPORT wi_code wi_download_patch_file(const char* url, const char* patch_id,
                                         const char** path);
/** Downloads a software file; its local path. */
WI_EXPORT wi_code wi_download_soft_file(const char* url, const char* guid, const char* soft_code,
                                        const char* file_code, int file_type, const char** path);
/** Downloads an install file to "<templates>\subdir\file_name"; its local path. */
WI_EXPORT wi_code wi_download_install_file(const char* url, const char* subdir,
                                           const char* file_name, void* cancel_event,
                                           const char** path);
/** Downloads an install file to "target_dir\file_name". */
WI_EXPORT wi_code wi_download_install_file1(const char* url, const char* subdir,
                                            const char* file_name, const char* target_dir,
                                            void* cancel_event);
/** Tells the service to forget one file's information; #WI_OK when it answered. */
WI_EXPORT wi_code wi_remove_file_info(const char* url, const char* guid, const char* version,
                                      const char* character_code);

/** @} */

/** @name The protection store */
/** @{ */

/** The protect document path of the software; #WI_FAILED when it is not protected. */
WI_EXPORT wi_code wi_get_protect_xml_path(const char* guid, const char** path);
/** The protected install path; #WI_FAILED when it cannot be read. */
WI_EXPORT wi_code wi_get_protected_install_path(const char* guid, const char** path);
/** The protected version; #WI_FAILED when it cannot be read. */
WI_EXPORT wi_code wi_get_protected_version(const char* guid, int* version);
/** Where the protect document stores the source path; #WI_FAILED when it holds none. */
WI_EXPORT wi_code wi_get_file_protect_path(const char* protect_xml_path, const char* source_path,
                                           const char** path);
/** Protects a #WI_SOFT_INFO record's files, dependences and configuration entries. */
WI_EXPORT wi_code wi_protect_files_to_local(const wi_record* soft, void* cancel_event);
/** Writes the #WI_CONF_INFO records to a configuration document; its path. */
WI_EXPORT wi_code wi_protect_config(const wi_list* configs, const char** path);
/** Applies the software's stored configuration entries again, reporting into the #WI_LOG_INFO
    record (or null). */
WI_EXPORT wi_code wi_restore_config(const wi_record* soft, wi_record* entry);
/** Removes the software's protection; #WI_FAILED when it does not count as protected. */
WI_EXPORT wi_code wi_clean_protect_software(const char* guid);

/** @} */

/** @name User information */
/** @{ */

/** Reads the user-document path the service keeps for this machine. */
WI_EXPORT wi_code wi_read_user_info(const char** path);
/** Posts the user-document path: #WI_OK when the reply begins with "TRUE". */
WI_EXPORT wi_code wi_update_user_info(void);
/** The computer ID (always ""). */
WI_EXPORT wi_code wi_get_computer_id(const char** id);
/** The user information document of a #WI_USER_INFO record (always ""). */
WI_EXPORT wi_code wi_create_user_info_xml(const wi_record* info, const char* text,
                                          const char** xml);
/** #WI_OK when the user information file exists; writes nothing. */
WI_EXPORT wi_code wi_save_user_info_to_local(const wi_record* info);
/** The library's user information record (#WI_USER_INFO). */
WI_EXPORT wi_code wi_get_user_info_from_local(wi_record** info);
/** The library's user information record after asking the service. */
WI_EXPORT wi_code wi_get_user_info_from_server(const char* url, const char* computer_id,
                                               wi_record** info);

/** @} */

/** @name The operation log (the process's one CLogInc) */
/** @{ */

/** Reads the log's configuration document and keeps the type and source. */
WI_EXPORT wi_code wi_log_set_param(const char* config_text, const char* type,
                                   const char* source);
/** Empties the entry list. */
WI_EXPORT wi_code wi_log_start(void);
/** Appends a copy of the #WI_LOG_INFO record. */
WI_EXPORT wi_code wi_log_save_one_log(const wi_record* entry);
/** Uploads the log document: as an upload answers; #WI_FAILED without a Servlet address. */
WI_EXPORT wi_code wi_log_stop(void);

/** @} */

/** @name Registry (the repair library, ISoftRepairInc) */
/** @{ */

/** Applies a #WI_CONF_INFO record to the registry; #WI_FAILED when it was refused. */
WI_EXPORT wi_code wi_install_conf(const wi_record* entry);
/** Every value of the registry store as #WI_CONF_INFO records (posix). */
WI_EXPORT wi_code wi_list_installed_conf(wi_list** entries);

/** @} */

/** @name Files (CXFileOperator); a failure of the file system is #WI_FILE_ERROR */
/** @{ */

/** Whether the path exists (1 or 0). */
WI_EXPORT wi_code wi_path_exists(const char* path, int* exists);
/** Whether the path is a directory (1 or 0). */
WI_EXPORT wi_code wi_is_directory(const char* path, int* is_directory);
/** Clears the file's attributes and deletes it. */
WI_EXPORT wi_code wi_delete_file(const char* path);
/** Copies the file (`CXFileOperator::CopyFile`). */
WI_EXPORT wi_code wi_copy_file(const char* source, const char* destination, int fail_if_exists);
/** Creates every directory along the path. */
WI_EXPORT wi_code wi_insure_directory_exist(const char* path);
/** kind 0: bytes available to the caller, 1: total bytes, 2: total free bytes. */
WI_EXPORT wi_code wi_get_disk_space(const char* path, int kind, uint64_t* bytes);
/** The file name part of the path. */
WI_EXPORT wi_code wi_get_file_name(const char* path, const char** name);
/** Whether the path is absolute (1 or 0). */
WI_EXPORT wi_code wi_is_absolute_path(const char* path, int* is_absolute);
/** The directory part of the path. */
WI_EXPORT wi_code wi_get_directory_part(const char* path, const char** directory);
/** The directory's entries as #WI_TEXT records. */
WI_EXPORT wi_code wi_list_directory(const char* directory, wi_list** entries);
/** The size of a file, or of a directory's tree. */
WI_EXPORT wi_code wi_get_path_size(const char* path, uint64_t* bytes);

/** @} */

#ifdef __cplusplus
}
#endif

#endif
