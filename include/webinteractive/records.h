/// @file
/// The software records exchanged between the host and the library, and the orderings
/// that the record sets use.
///
/// Texts are narrow strings in the narrow code page. The documents carry each member as an
/// element of the member's name unless its description says otherwise.
#pragma once

#include <cstdint>
#include <list>
#include <set>
#include <string>

#include "webinteractive/export.h"

/// One installed file of a software.
namespace IFileInfoInc {
/// One installed file: its paths, its version resource and its analysis.
struct _FileInfo {
    std::string SId;             ///< the file's identifier at the service ("FID" when read)
    std::string SetupPath;       ///< the file's path as installed
    std::string LocalPath;       ///< its full path on this machine, where protection copies from
    std::string OriginalName;    ///< file name recorded in the version resource
    std::string ProductName;     ///< product name from the version resource
    std::string ProductVersion;  ///< product version from the version resource
    std::string file_version;    ///< file version
    std::string company_name;    ///< company name
    std::string copy_right;      ///< legal notice from the version resource
    std::string Name;            ///< file name
    std::string Description;     ///< file description
    std::string InsideName;      ///< internal name
    std::string language;        ///< language of the file, as text
    std::string CreateDate;      ///< creation time, as text
    std::string ModifyDate;      ///< last modification time, as text
    std::string AccessDate;      ///< last access time, as text
    std::string CharacterCode;   ///< character code of the file
    int Component = 0;           ///< component number
    int Type = 2;                ///< file type, also passed to the protection store
    int Category = 0;            ///< file category, also passed to the protection store
    unsigned int analyseFlag : 1;  ///< the file takes part in analysis (bit 0 of one word)
    unsigned int delFlag : 1;      ///< the file is marked deleted (bit 1 of the same word)
    /// File analysis bits: 0 intact, 0x01 modified, 0x02 damaged, 0x04 a file it depends on is
    /// missing, 0x08 that file lacks a function, 0x10 not registered, 0x20 an upgrade is
    /// available, 0x40 deleted, 0x80 upgraded.
    int analyse_result = 0;
    std::string particularinfo;  ///< particular information about the file

    /// Both flags 0.
    _FileInfo() : analyseFlag(0), delFlag(0) {}
};
/// The order of the software's file set.
WI_RECORDS_EXPORT bool operator<(const _FileInfo&, const _FileInfo&);
}  // namespace IFileInfoInc

/// One file a software depends on.
namespace IDepInfoInc {
/// One file a software depends on, kept in the store's shared "Dependence" area.
struct _DepInfo {
    std::string Name;          ///< file name
    std::string SetupPath;     ///< installed path
    std::string LocalPath;     ///< its full path on this machine, where protection copies from
    std::string special_code;  ///< as the service's file list gives it (read only)
    bool delflag = true;       ///< the dependence is marked deleted
};
/// The order of the software's dependence set: by every member, in declaration order.
WI_RECORDS_EXPORT bool operator<(const _DepInfo&, const _DepInfo&);
}  // namespace IDepInfoInc

/// One configuration entry of a software.
namespace IConfInfoInc {
/// One configuration entry: a registry value, or an entry of another configuration source.
struct _ConfInfo {
    std::string Source;   ///< where the entry lives, for example a registry key's path
    std::string Key;      ///< entry name ("" for a key's default value)
    std::string Value;    ///< entry value, as text
    int Type = 0;         ///< value type (1 text, 3 binary, 4, 5 and 11 numbers, ...)
    int Action = 1;       ///< 1 sets the value when it is applied; any other removes it
    bool delflag = true;  ///< the entry is marked deleted
};
/// The order of the software's configuration set: by every member, in declaration order.
WI_RECORDS_EXPORT bool operator<(const _ConfInfo&, const _ConfInfo&);
}  // namespace IConfInfoInc

/// One patch of a software, as the service's patch lists give it.
struct _PatchInfo {
    std::string PatchID;       ///< patch identifier, by which its file is downloaded
    std::string PNID;          ///< product identifier the patch belongs to
    std::string CurrEdition;   ///< edition the patch applies to
    std::string SportEdition;  ///< edition the patch brings the software to
    bool Enforces = false;     ///< the patch is mandatory
    std::string Descrip;       ///< description
    std::string Content;       ///< patch content text
    bool DefaultInstall = false;    ///< the patch is installed by default
    std::string SavePath;           ///< where the patch file is saved
    std::string StartTime;          ///< start of the patch's validity, as text
    std::string EndTime;            ///< end of the patch's validity, as text
    std::string VerificationCode;   ///< check value of the patch file, as text
    /// Patches this patch depends on, in document order; only their PatchID and Descrip are
    /// filled.
    std::list<_PatchInfo> dependences;
};

/// The software records.
namespace ISoftInfoInc {
/// A software's identity, as the service's software list names it.
struct _SoftID {
    std::string GUID;        ///< the software's identifier across the service
    std::string pn_name;     ///< product name under which the service lists the software
    std::string pn_version;  ///< product version under which the service lists the software
};
/// The order of a software ID set: GUID, then pn_name, then pn_version.
WI_RECORDS_EXPORT bool operator<(const _SoftID&, const _SoftID&);

/// One version of one software with its files, dependences, configuration entries and patches.
struct _SoftInfo {
    std::string GUID;               ///< software identifier
    std::string product_id;         ///< product identifier
    std::string authorized_prefix;  ///< authorised prefix of the installation
    std::string comments;           ///< free comment
    std::string contact;            ///< contact of the vendor
    std::string Name;               ///< display name of the software
    std::string OriginalVersion;    ///< version as the software itself reports it
    std::string pn_name;            ///< product name under which the service lists the software
    std::string pn_version;         ///< product version under which the service lists it
    int estimated_size = 0;         ///< estimated installed size
    std::string HelpLink;           ///< help address
    std::string help_telephone;     ///< help telephone
    std::string install_date;       ///< installation date, as text
    std::string SetupPath;          ///< installation directory
    std::string SetupSourcePath;    ///< directory the software was installed from
    int language = 0;               ///< language code
    int no_modify = 0;              ///< no-modify flag of the installation
    int no_remove = 0;              ///< no-remove flag of the installation
    int no_repair = 0;              ///< no-repair flag of the installation
    std::string modify_path;        ///< command that modifies the installation
    std::string Vendor;             ///< publisher
    std::string readme;             ///< readme location
    std::int64_t Size = 0;          ///< size of the software
    int system_component = 0;       ///< system-component flag
    std::string UpdateLink;         ///< update address
    std::string DownloadPath;       ///< where the service offers the software for download
    /// The version under which the service and the protection store know this record (the
    /// store keeps a directory per GUID and Version).
    std::string Version;
    std::string creator;            ///< who created the installation description
    std::string OSCode;             ///< operating-system code (read from the service only)
    int version_info = 0;           ///< version information number
    int version_major = 0;          ///< major version number
    int version_minor = 0;          ///< minor version number
    int windows_installer = 0;      ///< Windows Installer flag
    int Type = 0;                   ///< software type
    int WindowsVersion = 2;         ///< Windows version the record applies to
    int Category = 0;               ///< software category
    std::string special_code;       ///< special code of this version
    std::set<IFileInfoInc::_FileInfo> files;          ///< the software's files ("FileList")
    std::set<IDepInfoInc::_DepInfo> dependences;      ///< files it depends on ("Dependence")
    std::set<IConfInfoInc::_ConfInfo> configs;        ///< configuration entries ("Configration")
    std::list<_PatchInfo> patchs;   ///< patches offered for it, in the service's order
    /// Software analysis code: 0 intact, 1 modified, 2 damaged, 3 an upgrade is available,
    /// 4 upgraded to a new version.
    int analyse_result = 0;
    int is_protected = 0;           ///< protection flag of the software
};
}  // namespace ISoftInfoInc
