#include "lists/file_list_tables.h"

#include <limits>

#include "inc/narrow_text.h"
#include "platform/events.h"
#include "webinteractive/status.h"

namespace wi::lists {

namespace {

using IConfInfoInc::_ConfInfo;
using IDepInfoInc::_DepInfo;
using IFileInfoInc::_FileInfo;
using ISoftInfoInc::_SoftInfo;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

template <typename Integer>
Integer ReadDecimal(const std::string& text) {
    using Limits = std::numeric_limits<Integer>;
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    Integer value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        const int digit = text[at] - '0';
        // Negative numbers are built downwards, so that the lowest value fits too.
        if (negative) {
            if (value < (Limits::min() + digit) / 10) return Limits::min();
            value = static_cast<Integer>(value * 10 - digit);
        } else {
            if (value > (Limits::max() - digit) / 10) return Limits::max();
            value = static_cast<Integer>(value * 10 + digit);
        }
    }
    return value;
}

// One row of a table: the element's name and the member it fills, as text, a 32-bit or a 64-bit
// number (exactly one member pointer is set).
template <typename Record>
struct Field {
    Field(const char* elementName, std::string Record::*member) : name(elementName), text(member) {}
    Field(const char* elementName, int Record::*member) : name(elementName), number(member) {}
    Field(const char* elementName, std::int64_t Record::*member)
        : name(elementName), wide(member) {}

    const char* name;
    std::string Record::*text = nullptr;
    int Record::*number = nullptr;
    std::int64_t Record::*wide = nullptr;
};

template <typename Record, std::size_t N>
void ReadFields(const xml::Element& parent, const Field<Record> (&fields)[N], Record& record) {
    for (const Field<Record>& field : fields) {
        const xml::Element element = parent.FirstChild(field.name);
        if (!element) continue;
        if (field.text) {
            record.*field.text = element.Text();
        } else if (field.number) {
            record.*field.number = ReadInt(element.Text());
        } else {
            record.*field.wide = ReadInt64(element.Text());
        }
    }
}

// The value of a child element, when there is one.
bool ChildText(const xml::Element& parent, const char* name, std::string& text) {
    const xml::Element element = parent.FirstChild(name);
    if (element) text = element.Text();
    return static_cast<bool>(element);
}

// Table 2, "VersionInfo", in reading order; "OSCode" is read apart (the patch list leaves it).
const Field<_SoftInfo> kVersionFields[] = {
    {"GUID", &_SoftInfo::GUID},
    {"Version", &_SoftInfo::Version},
    {"OriginalVersion", &_SoftInfo::OriginalVersion},
    {"SetupPath", &_SoftInfo::SetupPath},
    {"WindowsVersion", &_SoftInfo::WindowsVersion},
    {"HelpLink", &_SoftInfo::HelpLink},
    {"UpdateLink", &_SoftInfo::UpdateLink},
    {"Size", &_SoftInfo::Size},
    {"SetupSourcePath", &_SoftInfo::SetupSourcePath},
    {"DownloadPath", &_SoftInfo::DownloadPath},
    {"special_code", &_SoftInfo::special_code},
    {"Category", &_SoftInfo::Category},
    {"authorized_prefix", &_SoftInfo::authorized_prefix},
    {"comments", &_SoftInfo::comments},
    {"contact", &_SoftInfo::contact},
    {"estimated_size", &_SoftInfo::estimated_size},
    {"help_telephone", &_SoftInfo::help_telephone},
    {"install_date", &_SoftInfo::install_date},
    {"language", &_SoftInfo::language},
    {"no_modify", &_SoftInfo::no_modify},
    {"no_remove", &_SoftInfo::no_remove},
    {"no_repair", &_SoftInfo::no_repair},
    {"modify_path", &_SoftInfo::modify_path},
    {"readme", &_SoftInfo::readme},
    {"system_component", &_SoftInfo::system_component},
    {"version_info", &_SoftInfo::version_info},
    {"version_major", &_SoftInfo::version_major},
    {"version_minor", &_SoftInfo::version_minor},
    {"windows_installer", &_SoftInfo::windows_installer},
    {"product_id", &_SoftInfo::product_id},
    {"pn_version", &_SoftInfo::pn_version},
};

// Table 3, a "file" item, in reading order; the two flags ("delFlag", "analyseFlag") are
// bit-fields and are read apart.
const Field<_FileInfo> kFileFields[] = {
    {"Name", &_FileInfo::Name},
    {"FID", &_FileInfo::SId},
    {"SetupPath", &_FileInfo::SetupPath},
    {"Type", &_FileInfo::Type},
    {"ProductName", &_FileInfo::ProductName},
    {"ProductVersion", &_FileInfo::ProductVersion},
    {"InsideName", &_FileInfo::InsideName},
    {"OriginalName", &_FileInfo::OriginalName},
    {"CreateDate", &_FileInfo::CreateDate},
    {"ModifyDate", &_FileInfo::ModifyDate},
    {"AccessDate", &_FileInfo::AccessDate},
    {"Description", &_FileInfo::Description},
    {"CharacterCode", &_FileInfo::CharacterCode},
    {"Category", &_FileInfo::Category},
    {"file_version", &_FileInfo::file_version},
    {"company_name", &_FileInfo::company_name},
    {"copy_right", &_FileInfo::copy_right},
    {"language", &_FileInfo::language},
    {"analyse_result", &_FileInfo::analyse_result},
    {"Component", &_FileInfo::Component},
};

// Table 4, a dependence item, without its boolean "delflag".
const Field<_DepInfo> kDependenceFields[] = {
    {"Name", &_DepInfo::Name},
    {"SetupPath", &_DepInfo::SetupPath},
    {"special_code", &_DepInfo::special_code},
};

// Table 5, a configuration entry, without its boolean "delflag" (read between "Type" and
// "Action"; the order of reading changes nothing).
const Field<_ConfInfo> kConfigFields[] = {
    {"Key", &_ConfInfo::Key},     {"Source", &_ConfInfo::Source}, {"Value", &_ConfInfo::Value},
    {"Type", &_ConfInfo::Type},   {"Action", &_ConfInfo::Action},
};

// "version" part of a patch; "Enforces" and "DefaultInstall" are booleans, read apart.
const Field<_PatchInfo> kPatchVersionFields[] = {
    {"PatchID", &_PatchInfo::PatchID},
    {"PNID", &_PatchInfo::PNID},
    {"CurrEdition", &_PatchInfo::CurrEdition},
    {"SportEdition", &_PatchInfo::SportEdition},
    {"Descrip", &_PatchInfo::Descrip},
    {"SavePath", &_PatchInfo::SavePath},
    {"VerificationCode", &_PatchInfo::VerificationCode},
};

const Field<_PatchInfo> kPatchInfoFields[] = {
    {"Content", &_PatchInfo::Content},
    {"StartTime", &_PatchInfo::StartTime},
    {"EndTime", &_PatchInfo::EndTime},
};

// A boolean is any nonzero number; a flag is exactly 1. A missing element gives `absent`.
bool ReadBoolean(const xml::Element& parent, const char* name, bool absent) {
    std::string text;
    return ChildText(parent, name, text) ? ReadInt(text) != 0 : absent;
}
bool ReadFlag(const xml::Element& parent, const char* name) {
    std::string text;
    return ChildText(parent, name, text) && ReadInt(text) == 1;
}

}  // namespace

_PatchInfo ReadPatch(const xml::Element& patch, const std::string& statusFormat) {
    _PatchInfo info;
    if (const xml::Element version = patch.FirstChild("version")) {
        ReadFields(version, kPatchVersionFields, info);
        info.Enforces = ReadBoolean(version, "Enforces", info.Enforces);
        info.DefaultInstall = ReadBoolean(version, "DefaultInstall", info.DefaultInstall);
        IHelperInc::MakeStatus(statusFormat.c_str(), info.PNID.c_str());
    }
    if (const xml::Element patchInfo = patch.FirstChild("patchinfo")) {
        ReadFields(patchInfo, kPatchInfoFields, info);
    }
    if (const xml::Element dependence = patch.FirstChild("patchdependence")) {
        for (const xml::Element& item : dependence.Children()) {
            if (!item.NameIs("pat")) continue;
            _PatchInfo dependent;
            ChildText(item, "Dependent_PatchID", dependent.PatchID);
            ChildText(item, "Description", dependent.Descrip);
            info.dependences.push_back(std::move(dependent));
        }
    }
    return info;
}

int ReadInt(const std::string& text) { return ReadDecimal<int>(text); }

std::int64_t ReadInt64(const std::string& text) { return ReadDecimal<std::int64_t>(text); }

ListStatusTexts::ListStatusTexts()
    : file(inc::NarrowFromUtf8("正在解析文件信息...%s")),
      dependence(inc::NarrowFromUtf8("正在解析依赖信息...%s")),
      config(inc::NarrowFromUtf8("正在解析配置信息...%s")) {}

void BaseValues::CopyInto(_SoftInfo& soft) const {
    soft.Type = Type;
    soft.Name = Name;
    soft.Vendor = Vendor;
    soft.is_protected = is_protected;
    soft.pn_name = pn_name;
}

void ReadBaseInfo(const xml::Element& baseInfo, BaseValues& base, bool withGuid, int* locked) {
    std::string text;
    ChildText(baseInfo, "Name", base.Name);
    if (withGuid) ChildText(baseInfo, "GUID", base.GUID);
    if (ChildText(baseInfo, "Type", text)) base.Type = ReadInt(text);
    ChildText(baseInfo, "Vendor", base.Vendor);
    if (locked != nullptr && ChildText(baseInfo, "locked", text)) *locked = ReadInt(text);
    if (ChildText(baseInfo, "is_protected", text)) base.is_protected = ReadInt(text);
    ChildText(baseInfo, "pn_name", base.pn_name);
}

void ReadVersionInfo(const xml::Element& versionInfo, _SoftInfo& soft, bool withOSCode) {
    ReadFields(versionInfo, kVersionFields, soft);
    if (withOSCode) ChildText(versionInfo, "OSCode", soft.OSCode);
}

void ReadFileItem(const xml::Element& item, _SoftInfo& soft, const ListStatusTexts& status) {
    _FileInfo file;
    ReadFields(item, kFileFields, file);
    IHelperInc::MakeStatus(status.file.c_str(), file.Name.c_str());
    file.delFlag = ReadFlag(item, "delFlag") ? 1 : 0;
    file.analyseFlag = ReadFlag(item, "analyseFlag") ? 1 : 0;
    soft.files.insert(std::move(file));
}

void ReadDependenceItem(const xml::Element& item, _SoftInfo& soft,
                        const ListStatusTexts& status) {
    _DepInfo dependence;
    ReadFields(item, kDependenceFields, dependence);
    IHelperInc::MakeStatus(status.dependence.c_str(), dependence.Name.c_str());
    dependence.delflag = ReadBoolean(item, "delflag", dependence.delflag);
    soft.dependences.insert(std::move(dependence));
}

void ReadConfigItem(const xml::Element& item, _SoftInfo& soft, const ListStatusTexts& status) {
    _ConfInfo config;
    ReadFields(item, kConfigFields, config);
    IHelperInc::MakeStatus(status.config.c_str(), config.Key.c_str());
    config.delflag = ReadBoolean(item, "delflag", config.delflag);
    soft.configs.insert(std::move(config));
}

bool CancelRequested(void* cancelEvent) {
    return cancelEvent != nullptr && platform::IsEventSignalled(cancelEvent);
}

std::list<_SoftInfo>& DownloadedSoftList() {
    static std::list<_SoftInfo> softs;
    return softs;
}

}  // namespace wi::lists
