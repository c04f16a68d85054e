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

template <typename Record>
void ReadMember(const xml::Element& element, const records::MemberElement<Record>& member,
                Record& record) {
    switch (member.form) {
        case records::ValueForm::kText:
            record.*member.text = element.Text();
            break;
        case records::ValueForm::kInt:
            record.*member.number = ReadInt(element.Text());
            break;
        case records::ValueForm::kInt64:
            record.*member.wide = ReadInt64(element.Text());
            break;
        case records::ValueForm::kBoolean:
            record.*member.boolean = ReadInt(element.Text()) != 0;
            break;
        case records::ValueForm::kFlag:
            member.setFlag(record, ReadInt(element.Text()) == 1);
            break;
    }
}

constexpr bool SameName(const char* a, const char* b) {
    for (; *a != '\0' && *a == *b; ++a, ++b) {
    }
    return *a == *b;
}

// Whether no two members of the table share an element name.
template <typename Record, std::size_t N>
constexpr bool NamesDistinct(const records::MemberElement<Record> (&members)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        for (std::size_t j = i + 1; j < N; ++j) {
            if (SameName(members[i].name, members[j].name)) return false;
        }
    }
    return true;
}

// Reads the members of a table that the list holds into the record, each from the first child
// of its element's name. The children are gone through once, each name looked for in the table
// from the member after the last one found, as the elements mostly come in the table's order.
// A table names each element once (checked below for every table read here).
template <typename Record, std::size_t N>
void ReadMembers(const xml::Element& parent, const records::MemberElement<Record> (&members)[N],
                 unsigned list, Record& record) {
    bool done[N] = {};
    std::size_t next = 0;
    for (const xml::Element& child : parent.Children()) {
        const std::string name = child.Name();
        for (std::size_t step = 0; step < N; ++step) {
            const std::size_t at = (next + step) % N;
            if (name != members[at].name) continue;
            if (!done[at] && members[at].In(list)) ReadMember(child, members[at], record);
            done[at] = true;
            next = at + 1;
            break;
        }
    }
}

static_assert(NamesDistinct(records::kBaseInfoElements) &&
                  NamesDistinct(records::kVersionInfoElements) &&
                  NamesDistinct(records::kFileElements) &&
                  NamesDistinct(records::kDependenceElements) &&
                  NamesDistinct(records::kConfigElements) &&
                  NamesDistinct(records::kPatchVersionElements) &&
                  NamesDistinct(records::kPatchInfoElements) &&
                  NamesDistinct(records::kPatchDependenceElements),
              "a record table names an element twice");

}  // namespace

_PatchInfo ReadPatch(const xml::Element& patch, const std::string& statusFormat) {
    _PatchInfo info;
    if (const xml::Element version = patch.FirstChild("version")) {
        ReadMembers(version, records::kPatchVersionElements, records::kServiceLists, info);
        IHelperInc::MakeStatus(statusFormat.c_str(), info.PNID.c_str());
    }
    if (const xml::Element patchInfo = patch.FirstChild("patchinfo")) {
        ReadMembers(patchInfo, records::kPatchInfoElements, records::kServiceLists, info);
    }
    if (const xml::Element dependence = patch.FirstChild("patchdependence")) {
        for (const xml::Element& item : dependence.Children()) {
            if (!item.NameIs("pat")) continue;
            _PatchInfo dependent;
            ReadMembers(item, records::kPatchDependenceElements, records::kServiceLists,
                        dependent);
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
    soft.Type = values.Type;
    soft.Name = values.Name;
    soft.Vendor = values.Vendor;
    soft.is_protected = values.is_protected;
    soft.pn_name = values.pn_name;
}

void ReadBaseInfo(const xml::Element& baseInfo, records::Document list, BaseValues& base,
                  int* locked) {
    ReadMembers(baseInfo, records::kBaseInfoElements, list, base.values);
    const xml::Element lockedElement = baseInfo.FirstChild("locked");
    if (locked != nullptr && lockedElement) *locked = ReadInt(lockedElement.Text());
}

void ReadVersionInfo(const xml::Element& versionInfo, records::Document list, _SoftInfo& soft) {
    ReadMembers(versionInfo, records::kVersionInfoElements, list, soft);
}

void ReadFileItem(const xml::Element& item, _SoftInfo& soft, const ListStatusTexts& status) {
    _FileInfo file;
    ReadMembers(item, records::kFileElements, records::kServiceFileList, file);
    IHelperInc::MakeStatus(status.file.c_str(), file.Name.c_str());
    // A list mostly holds its items in their order: then the set's end is where each one goes,
    // found with one comparison instead of a search.
    soft.files.insert(soft.files.end(), std::move(file));
}

void ReadDependenceItem(const xml::Element& item, _SoftInfo& soft,
                        const ListStatusTexts& status) {
    _DepInfo dependence;
    ReadMembers(item, records::kDependenceElements, records::kServiceFileList, dependence);
    IHelperInc::MakeStatus(status.dependence.c_str(), dependence.Name.c_str());
    soft.dependences.insert(soft.dependences.end(), std::move(dependence));
}

void ReadConfigItem(const xml::Element& item, _SoftInfo& soft, const ListStatusTexts& status) {
    _ConfInfo config;
    ReadMembers(item, records::kConfigElements, records::kServiceFileList, config);
    IHelperInc::MakeStatus(status.config.c_str(), config.Key.c_str());
    soft.configs.insert(soft.configs.end(), std::move(config));
}

bool CancelRequested(void* cancelEvent) {
    return cancelEvent != nullptr && platform::IsEventSignalled(cancelEvent);
}

std::list<_SoftInfo>& DownloadedSoftList() {
    static std::list<_SoftInfo> softs;
    return softs;
}

}  // namespace wi::lists
