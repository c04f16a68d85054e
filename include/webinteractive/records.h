// The software records exchanged between the host and the library, and the orderings
// that the record sets use.
#pragma once

#include <cstdint>
#include <list>
#include <set>
#include <string>

#include "webinteractive/export.h"

namespace IFileInfoInc {
struct _FileInfo {
    std::string SId, SetupPath, LocalPath, OriginalName, ProductName, ProductVersion,
        file_version, company_name, copy_right, Name, Description, InsideName,
        language, CreateDate, ModifyDate, AccessDate, CharacterCode;
    int Component = 0, Type = 2, Category = 0;
    unsigned int analyseFlag : 1, delFlag : 1;  // one 32-bit word; both 0 initially
    int analyse_result = 0;
    std::string particularinfo;

    _FileInfo() : analyseFlag(0), delFlag(0) {}
};
WI_RECORDS_EXPORT bool operator<(const _FileInfo&, const _FileInfo&);
}  // namespace IFileInfoInc

namespace IDepInfoInc {
struct _DepInfo {
    std::string Name, SetupPath, LocalPath, special_code;
    bool delflag = true;
};
WI_RECORDS_EXPORT bool operator<(const _DepInfo&, const _DepInfo&);
}  // namespace IDepInfoInc

namespace IConfInfoInc {
struct _ConfInfo {
    std::string Source, Key, Value;
    int Type = 0, Action = 1;
    bool delflag = true;
};
WI_RECORDS_EXPORT bool operator<(const _ConfInfo&, const _ConfInfo&);
}  // namespace IConfInfoInc

struct _PatchInfo {
    std::string PatchID, PNID, CurrEdition, SportEdition;
    bool Enforces = false;
    std::string Descrip, Content;
    bool DefaultInstall = false;
    std::string SavePath, StartTime, EndTime, VerificationCode;
    std::list<_PatchInfo> dependences;
};

namespace ISoftInfoInc {
struct _SoftID {
    std::string GUID, pn_name, pn_version;
};
WI_RECORDS_EXPORT bool operator<(const _SoftID&, const _SoftID&);

struct _SoftInfo {
    std::string GUID, product_id, authorized_prefix, comments, contact, Name, OriginalVersion,
        pn_name, pn_version;
    int estimated_size = 0;
    std::string HelpLink, help_telephone, install_date, SetupPath, SetupSourcePath;
    int language = 0, no_modify = 0, no_remove = 0, no_repair = 0;
    std::string modify_path, Vendor, readme;
    std::int64_t Size = 0;
    int system_component = 0;
    std::string UpdateLink, DownloadPath, Version, creator, OSCode;
    int version_info = 0, version_major = 0, version_minor = 0, windows_installer = 0, Type = 0,
        WindowsVersion = 2, Category = 0;
    std::string special_code;
    std::set<IFileInfoInc::_FileInfo> files;
    std::set<IDepInfoInc::_DepInfo> dependences;
    std::set<IConfInfoInc::_ConfInfo> configs;
    std::list<_PatchInfo> patchs;
    int analyse_result = 0, is_protected = 0;
};
}  // namespace ISoftInfoInc
