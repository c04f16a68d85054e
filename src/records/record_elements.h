// The elements by which documents carry the records' members. Each table lists a record's
// members in the order the library writes them, each with the name of its element, the form of
// its value and the documents that hold it. The library's list readers and document writers and
// the CLI's reader of record documents all work from these tables, so that a member's element
// name is written once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "webinteractive/records.h"

namespace wi::records {

// The most records (of every kind, versions included) one document may build, whoever reads it:
// far beyond any list the service gives, so that the memory a document takes stays in proportion
// to it. A document beyond it is refused.
constexpr std::size_t kMaxDocumentRecords = 250000;

// The documents that carry records, as bits of a set.
enum Document : unsigned {
    kServiceFileList = 1u << 0,   // the service's file list and latest-version answers
    kServicePatchList = 1u << 1,  // the service's patch list answer
    kFileListDocument = 1u << 2,  // the file list document and the upload file list of the library
    kInstallInfo = 1u << 3,       // the install info document of the library
    kSoftwareList = 1u << 4,      // the software list of the library (identities only)
    kServiceLists = kServiceFileList | kServicePatchList,
};

// How a member's value stands in its element's text.
enum class ValueForm {
    kText,     // the text itself
    kInt,      // a 32-bit number in signed decimal
    kInt64,    // a 64-bit number in signed decimal
    kBoolean,  // a bool member, written "1" or "0"; the service's lists mean true by any nonzero
    kFlag,     // a one-bit field, written "1" or "0"; the service's lists set it by "1" alone
};

// One member and its element. Exactly the pointer (or, for a one-bit field, the two functions)
// of its form is set.
template <typename Record>
struct MemberElement {
    using FlagGetter = bool (*)(const Record&);
    using FlagSetter = void (*)(Record&, bool);

    constexpr MemberElement(const char* elementName, std::string Record::*member, unsigned in)
        : name(elementName), documents(in), form(ValueForm::kText), text(member) {}
    constexpr MemberElement(const char* elementName, int Record::*member, unsigned in)
        : name(elementName), documents(in), form(ValueForm::kInt), number(member) {}
    constexpr MemberElement(const char* elementName, std::int64_t Record::*member, unsigned in)
        : name(elementName), documents(in), form(ValueForm::kInt64), wide(member) {}
    constexpr MemberElement(const char* elementName, bool Record::*member, unsigned in)
        : name(elementName), documents(in), form(ValueForm::kBoolean), boolean(member) {}
    constexpr MemberElement(const char* elementName, FlagGetter get, FlagSetter set, unsigned in)
        : name(elementName), documents(in), form(ValueForm::kFlag), getFlag(get), setFlag(set) {}

    // True when one of the documents holds this element.
    constexpr bool In(unsigned someDocuments) const { return (documents & someDocuments) != 0; }

    const char* name;
    unsigned documents;
    ValueForm form;
    std::string Record::*text = nullptr;
    int Record::*number = nullptr;
    std::int64_t Record::*wide = nullptr;
    bool Record::*boolean = nullptr;
    FlagGetter getFlag = nullptr;
    FlagSetter setFlag = nullptr;
};

using IConfInfoInc::_ConfInfo;
using IDepInfoInc::_DepInfo;
using IFileInfoInc::_FileInfo;
using ISoftInfoInc::_SoftInfo;

// The documents that hold a version's values, and those that hold its items.
constexpr unsigned kVersionDocuments = kServiceLists | kFileListDocument | kInstallInfo;
constexpr unsigned kItemDocuments = kServiceFileList | kFileListDocument;

namespace detail {
inline bool AnalyseFlag(const _FileInfo& file) { return file.analyseFlag != 0; }
inline void SetAnalyseFlag(_FileInfo& file, bool on) { file.analyseFlag = on ? 1 : 0; }
inline bool DelFlag(const _FileInfo& file) { return file.delFlag != 0; }
inline void SetDelFlag(_FileInfo& file, bool on) { file.delFlag = on ? 1 : 0; }
}  // namespace detail

// A software's "BaseInfo" ("Baseinfo" in the upload file list). The service's file lists name
// the software by the GUID of each "VersionInfo" instead.
inline constexpr MemberElement<_SoftInfo> kBaseInfoElements[] = {
    {"GUID", &_SoftInfo::GUID,
     kServicePatchList | kFileListDocument | kInstallInfo | kSoftwareList},
    {"Type", &_SoftInfo::Type, kServiceLists | kFileListDocument},
    {"Name", &_SoftInfo::Name, kServiceLists | kFileListDocument | kInstallInfo},
    {"Vendor", &_SoftInfo::Vendor, kServiceLists | kFileListDocument},
    {"is_protected", &_SoftInfo::is_protected, kServiceLists | kFileListDocument},
    {"pn_name", &_SoftInfo::pn_name, kServiceLists | kFileListDocument | kSoftwareList},
    {"pn_version", &_SoftInfo::pn_version, kSoftwareList},
};

// A version's "VersionInfo". Its thirtieth value is "analyse_result" in the file lists and
// "creator" in the install info document; "OSCode" comes from the service's file lists alone.
inline constexpr MemberElement<_SoftInfo> kVersionInfoElements[] = {
    {"GUID", &_SoftInfo::GUID, kVersionDocuments},
    {"Version", &_SoftInfo::Version, kVersionDocuments},
    {"OriginalVersion", &_SoftInfo::OriginalVersion, kVersionDocuments},
    {"SetupPath", &_SoftInfo::SetupPath, kVersionDocuments},
    {"WindowsVersion", &_SoftInfo::WindowsVersion, kVersionDocuments},
    {"HelpLink", &_SoftInfo::HelpLink, kVersionDocuments},
    {"UpdateLink", &_SoftInfo::UpdateLink, kVersionDocuments},
    {"Size", &_SoftInfo::Size, kVersionDocuments},
    {"SetupSourcePath", &_SoftInfo::SetupSourcePath, kVersionDocuments},
    {"DownloadPath", &_SoftInfo::DownloadPath, kVersionDocuments},
    {"special_code", &_SoftInfo::special_code, kVersionDocuments},
    {"Category", &_SoftInfo::Category, kVersionDocuments},
    {"authorized_prefix", &_SoftInfo::authorized_prefix, kVersionDocuments},
    {"comments", &_SoftInfo::comments, kVersionDocuments},
    {"contact", &_SoftInfo::contact, kVersionDocuments},
    {"estimated_size", &_SoftInfo::estimated_size, kVersionDocuments},
    {"help_telephone", &_SoftInfo::help_telephone, kVersionDocuments},
    {"install_date", &_SoftInfo::install_date, kVersionDocuments},
    {"language", &_SoftInfo::language, kVersionDocuments},
    {"no_modify", &_SoftInfo::no_modify, kVersionDocuments},
    {"no_remove", &_SoftInfo::no_remove, kVersionDocuments},
    {"no_repair", &_SoftInfo::no_repair, kVersionDocuments},
    {"modify_path", &_SoftInfo::modify_path, kVersionDocuments},
    {"readme", &_SoftInfo::readme, kVersionDocuments},
    {"system_component", &_SoftInfo::system_component, kVersionDocuments},
    {"version_info", &_SoftInfo::version_info, kVersionDocuments},
    {"version_major", &_SoftInfo::version_major, kVersionDocuments},
    {"version_minor", &_SoftInfo::version_minor, kVersionDocuments},
    {"windows_installer", &_SoftInfo::windows_installer, kVersionDocuments},
    {"analyse_result", &_SoftInfo::analyse_result, kFileListDocument},
    {"creator", &_SoftInfo::creator, kInstallInfo},
    {"product_id", &_SoftInfo::product_id, kVersionDocuments},
    {"pn_version", &_SoftInfo::pn_version, kVersionDocuments},
    {"OSCode", &_SoftInfo::OSCode, kServiceFileList},
};

// A "file" of a version's "FileList". The service names its identifier "FID", the library's
// documents "SId".
inline constexpr MemberElement<_FileInfo> kFileElements[] = {
    {"FID", &_FileInfo::SId, kServiceFileList},
    {"SId", &_FileInfo::SId, kFileListDocument},
    {"Name", &_FileInfo::Name, kItemDocuments},
    {"SetupPath", &_FileInfo::SetupPath, kItemDocuments},
    {"Type", &_FileInfo::Type, kItemDocuments},
    {"ProductName", &_FileInfo::ProductName, kItemDocuments},
    {"ProductVersion", &_FileInfo::ProductVersion, kItemDocuments},
    {"InsideName", &_FileInfo::InsideName, kItemDocuments},
    {"OriginalName", &_FileInfo::OriginalName, kItemDocuments},
    {"CreateDate", &_FileInfo::CreateDate, kItemDocuments},
    {"ModifyDate", &_FileInfo::ModifyDate, kItemDocuments},
    {"AccessDate", &_FileInfo::AccessDate, kItemDocuments},
    {"Description", &_FileInfo::Description, kItemDocuments},
    {"CharacterCode", &_FileInfo::CharacterCode, kItemDocuments},
    {"Category", &_FileInfo::Category, kItemDocuments},
    {"file_version", &_FileInfo::file_version, kItemDocuments},
    {"company_name", &_FileInfo::company_name, kItemDocuments},
    {"copy_right", &_FileInfo::copy_right, kItemDocuments},
    {"language", &_FileInfo::language, kItemDocuments},
    {"analyse_result", &_FileInfo::analyse_result, kItemDocuments},
    {"Component", &_FileInfo::Component, kItemDocuments},
    {"particularinfo", &_FileInfo::particularinfo, kFileListDocument},
    {"analyseFlag", &detail::AnalyseFlag, &detail::SetAnalyseFlag, kItemDocuments},
    {"delFlag", &detail::DelFlag, &detail::SetDelFlag, kItemDocuments},
};

// A "dep" of a version's "Dependence" (the library's documents write an empty "SId" before it,
// and the special code of the software that owns it).
inline constexpr MemberElement<_DepInfo> kDependenceElements[] = {
    {"Name", &_DepInfo::Name, kItemDocuments},
    {"SetupPath", &_DepInfo::SetupPath, kItemDocuments},
    {"delflag", &_DepInfo::delflag, kItemDocuments},
    {"special_code", &_DepInfo::special_code, kItemDocuments},
};

// A "cfg" of a version's "Configration" (the library's documents write an empty "CfgId" before
// it).
inline constexpr MemberElement<_ConfInfo> kConfigElements[] = {
    {"Source", &_ConfInfo::Source, kItemDocuments},
    {"Key", &_ConfInfo::Key, kItemDocuments},
    {"Value", &_ConfInfo::Value, kItemDocuments},
    {"Type", &_ConfInfo::Type, kItemDocuments},
    {"delflag", &_ConfInfo::delflag, kItemDocuments},
    {"Action", &_ConfInfo::Action, kItemDocuments},
};

// A "patch" of the service's lists: its "version" part, its "patchinfo" part, and each "pat" of
// its "patchdependence", which names a patch the patch depends on.
inline constexpr MemberElement<_PatchInfo> kPatchVersionElements[] = {
    {"PatchID", &_PatchInfo::PatchID, kServiceLists},
    {"PNID", &_PatchInfo::PNID, kServiceLists},
    {"CurrEdition", &_PatchInfo::CurrEdition, kServiceLists},
    {"SportEdition", &_PatchInfo::SportEdition, kServiceLists},
    {"Enforces", &_PatchInfo::Enforces, kServiceLists},
    {"Descrip", &_PatchInfo::Descrip, kServiceLists},
    {"DefaultInstall", &_PatchInfo::DefaultInstall, kServiceLists},
    {"SavePath", &_PatchInfo::SavePath, kServiceLists},
    {"VerificationCode", &_PatchInfo::VerificationCode, kServiceLists},
};
inline constexpr MemberElement<_PatchInfo> kPatchInfoElements[] = {
    {"Content", &_PatchInfo::Content, kServiceLists},
    {"StartTime", &_PatchInfo::StartTime, kServiceLists},
    {"EndTime", &_PatchInfo::EndTime, kServiceLists},
};
inline constexpr MemberElement<_PatchInfo> kPatchDependenceElements[] = {
    {"Dependent_PatchID", &_PatchInfo::PatchID, kServiceLists},
    {"Description", &_PatchInfo::Descrip, kServiceLists},
};

}  // namespace wi::records
