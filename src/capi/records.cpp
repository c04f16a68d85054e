// Records and lists of the C interface: fields read and written by the names of the C++ members.
#include "capi/records.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace wi::capi {
namespace {

// What a pointer to a member is a member of, and of which type.
template <typename>
struct MemberOf;
template <typename Record, typename Type>
struct MemberOf<Type Record::*> {
    using RecordType = Record;
    using ValueType = Type;
};

// One field of a record of type R: a text, an integer or a list, reached through the member.
template <typename R>
struct Field {
    const char* name;
    wi_field_type type;
    std::string R::*text = nullptr;
    std::int64_t (*getInt)(const R&) = nullptr;
    bool (*setInt)(R&, std::int64_t) = nullptr;
    wi_record_kind listKind = WI_TEXT;
    void (*getList)(const R&, std::vector<wi_record>&) = nullptr;
    void (*setList)(R&, const wi_list&) = nullptr;
};

template <typename R>
Field<R> Text(const char* name, std::string R::*member) {
    Field<R> field{name, WI_FIELD_TEXT};
    field.text = member;
    return field;
}

// Integers and truth values; a value the member cannot hold is refused.
template <auto Member>
Field<typename MemberOf<decltype(Member)>::RecordType> Int(const char* name) {
    using R = typename MemberOf<decltype(Member)>::RecordType;
    using T = typename MemberOf<decltype(Member)>::ValueType;
    Field<R> field{name, WI_FIELD_INT};
    field.getInt = [](const R& record) { return static_cast<std::int64_t>(record.*Member); };
    field.setInt = [](R& record, std::int64_t value) {
        const std::int64_t low = std::is_same_v<T, bool> ? 0 : std::numeric_limits<T>::min();
        const std::int64_t high = std::is_same_v<T, bool> ? 1 : std::numeric_limits<T>::max();
        if (value < low || value > high) return false;
        record.*Member = static_cast<T>(value);
        return true;
    };
    return field;
}

template <auto Member>
Field<typename MemberOf<decltype(Member)>::RecordType> List(const char* name) {
    using R = typename MemberOf<decltype(Member)>::RecordType;
    using Container = typename MemberOf<decltype(Member)>::ValueType;
    Field<R> field{name, WI_FIELD_LIST};
    field.listKind = KindOf<typename Container::value_type>();
    field.getList = [](const R& record, std::vector<wi_record>& records) {
        for (const auto& item : record.*Member) records.push_back(wi_record{item});
    };
    field.setList = [](R& record, const wi_list& list) {
        record.*Member = ToContainer<Container>(list);
    };
    return field;
}

// The two one-bit flags of a file record.
Field<IFileInfoInc::_FileInfo> Flag(const char* name, bool analyse) {
    using R = IFileInfoInc::_FileInfo;
    Field<R> field{name, WI_FIELD_INT};
    if (analyse) {
        field.getInt = [](const R& record) { return std::int64_t{record.analyseFlag}; };
        field.setInt = [](R& record, std::int64_t value) {
            if (value != 0 && value != 1) return false;
            record.analyseFlag = static_cast<unsigned>(value);
            return true;
        };
    } else {
        field.getInt = [](const R& record) { return std::int64_t{record.delFlag}; };
        field.setInt = [](R& record, std::int64_t value) {
            if (value != 0 && value != 1) return false;
            record.delFlag = static_cast<unsigned>(value);
            return true;
        };
    }
    return field;
}

// ---- the fields of each kind, in the order of the C++ members ----

template <typename R>
const std::vector<Field<R>>& FieldsOf();

// A text record has the one field "text", which is the record itself.
template <>
const std::vector<Field<std::string>>& FieldsOf<std::string>() {
    static const std::vector<Field<std::string>> fields{{"text", WI_FIELD_TEXT}};
    return fields;
}

template <>
const std::vector<Field<ISoftInfoInc::_SoftID>>& FieldsOf<ISoftInfoInc::_SoftID>() {
    using R = ISoftInfoInc::_SoftID;
    static const std::vector<Field<R>> fields{
        Text("GUID", &R::GUID), Text("pn_name", &R::pn_name), Text("pn_version", &R::pn_version)};
    return fields;
}

template <>
const std::vector<Field<ISoftInfoInc::_SoftInfo>>& FieldsOf<ISoftInfoInc::_SoftInfo>() {
    using R = ISoftInfoInc::_SoftInfo;
    static const std::vector<Field<R>> fields{
        Text("GUID", &R::GUID),
        Text("product_id", &R::product_id),
        Text("authorized_prefix", &R::authorized_prefix),
        Text("comments", &R::comments),
        Text("contact", &R::contact),
        Text("Name", &R::Name),
        Text("OriginalVersion", &R::OriginalVersion),
        Text("pn_name", &R::pn_name),
        Text("pn_version", &R::pn_version),
        Int<&R::estimated_size>("estimated_size"),
        Text("HelpLink", &R::HelpLink),
        Text("help_telephone", &R::help_telephone),
        Text("install_date", &R::install_date),
        Text("SetupPath", &R::SetupPath),
        Text("SetupSourcePath", &R::SetupSourcePath),
        Int<&R::language>("language"),
        Int<&R::no_modify>("no_modify"),
        Int<&R::no_remove>("no_remove"),
        Int<&R::no_repair>("no_repair"),
        Text("modify_path", &R::modify_path),
        Text("Vendor", &R::Vendor),
        Text("readme", &R::readme),
        Int<&R::Size>("Size"),
        Int<&R::system_component>("system_component"),
        Text("UpdateLink", &R::UpdateLink),
        Text("DownloadPath", &R::DownloadPath),
        Text("Version", &R::Version),
        Text("creator", &R::creator),
        Text("OSCode", &R::OSCode),
        Int<&R::version_info>("version_info"),
        Int<&R::version_major>("version_major"),
        Int<&R::version_minor>("version_minor"),
        Int<&R::windows_installer>("windows_installer"),
        Int<&R::Type>("Type"),
        Int<&R::WindowsVersion>("WindowsVersion"),
        Int<&R::Category>("Category"),
        Text("special_code", &R::special_code),
        List<&R::files>("files"),
        List<&R::dependences>("dependences"),
        List<&R::configs>("configs"),
        List<&R::patchs>("patchs"),
        Int<&R::analyse_result>("analyse_result"),
        Int<&R::is_protected>("is_protected"),
    };
    return fields;
}

template <>
const std::vector<Field<IFileInfoInc::_FileInfo>>& FieldsOf<IFileInfoInc::_FileInfo>() {
    using R = IFileInfoInc::_FileInfo;
    static const std::vector<Field<R>> fields{
        Text("SId", &R::SId),
        Text("SetupPath", &R::SetupPath),
        Text("LocalPath", &R::LocalPath),
        Text("OriginalName", &R::OriginalName),
        Text("ProductName", &R::ProductName),
        Text("ProductVersion", &R::ProductVersion),
        Text("file_version", &R::file_version),
        Text("company_name", &R::company_name),
        Text("copy_right", &R::copy_right),
        Text("Name", &R::Name),
        Text("Description", &R::Description),
        Text("InsideName", &R::InsideName),
        Text("language", &R::language),
        Text("CreateDate", &R::CreateDate),
        Text("ModifyDate", &R::ModifyDate),
        Text("AccessDate", &R::AccessDate),
        Text("CharacterCode", &R::CharacterCode),
        Int<&R::Component>("Component"),
        Int<&R::Type>("Type"),
        Int<&R::Category>("Category"),
        Flag("analyseFlag", true),
        Flag("delFlag", false),
        Int<&R::analyse_result>("analyse_result"),
        Text("particularinfo", &R::particularinfo),
    };
    return fields;
}

template <>
const std::vector<Field<IDepInfoInc::_DepInfo>>& FieldsOf<IDepInfoInc::_DepInfo>() {
    using R = IDepInfoInc::_DepInfo;
    static const std::vector<Field<R>> fields{
        Text("Name", &R::Name), Text("SetupPath", &R::SetupPath),
        Text("LocalPath", &R::LocalPath), Text("special_code", &R::special_code),
        Int<&R::delflag>("delflag")};
    return fields;
}

template <>
const std::vector<Field<IConfInfoInc::_ConfInfo>>& FieldsOf<IConfInfoInc::_ConfInfo>() {
    using R = IConfInfoInc::_ConfInfo;
    static const std::vector<Field<R>> fields{
        Text("Source", &R::Source), Text("Key", &R::Key),       Text("Value", &R::Value),
        Int<&R::Type>("Type"),      Int<&R::Action>("Action"), Int<&R::delflag>("delflag")};
    return fields;
}

template <>
const std::vector<Field<_PatchInfo>>& FieldsOf<_PatchInfo>() {
    using R = _PatchInfo;
    static const std::vector<Field<R>> fields{
        Text("PatchID", &R::PatchID),
        Text("PNID", &R::PNID),
        Text("CurrEdition", &R::CurrEdition),
        Text("SportEdition", &R::SportEdition),
        Int<&R::Enforces>("Enforces"),
        Text("Descrip", &R::Descrip),
        Text("Content", &R::Content),
        Int<&R::DefaultInstall>("DefaultInstall"),
        Text("SavePath", &R::SavePath),
        Text("StartTime", &R::StartTime),
        Text("EndTime", &R::EndTime),
        Text("VerificationCode", &R::VerificationCode),
        List<&R::dependences>("dependences"),
    };
    return fields;
}

template <>
const std::vector<Field<LogInfo>>& FieldsOf<LogInfo>() {
    using R = LogInfo;
    static const std::vector<Field<R>> fields{
        Text("guid", &R::guid), Text("special_code", &R::special_code),
        Text("result", &R::result), List<&R::details>("details")};
    return fields;
}

template <>
const std::vector<Field<IUserInfoInc::UserInfo>>& FieldsOf<IUserInfoInc::UserInfo>() {
    using R = IUserInfoInc::UserInfo;
    static const std::vector<Field<R>> fields{
        Text("s1", &R::s1), Text("s2", &R::s2), Text("s3", &R::s3), Text("s4", &R::s4),
        Text("s5", &R::s5), Text("s6", &R::s6), Int<&R::b1>("b1"),  Int<&R::b2>("b2"),
        Int<&R::b3>("b3"),  Int<&R::n>("n")};
    return fields;
}

// The field of the record's kind with the name, or null.
template <typename R>
const Field<R>* FindField(const char* name) {
    if (name == nullptr) return nullptr;
    for (const Field<R>& field : FieldsOf<R>()) {
        if (std::strcmp(field.name, name) == 0) return &field;
    }
    return nullptr;
}

wi_code NoField(const char* name, wi_field_type type) {
    static const char* const kinds[] = {"text", "integer", "list"};
    return Misuse(std::string("the record has no ") + kinds[type] + " field \"" +
                  (name != nullptr ? name : "") + "\"");
}

// Runs the action on the record's field of that name and type; WI_MISUSE when there is none.
template <typename Record, typename Action>
wi_code WithField(Record* record, const char* name, wi_field_type type, Action&& action) {
    if (record == nullptr) return Misuse("the record is null");
    return std::visit(
        [&](auto& value) -> wi_code {
            using R = std::decay_t<decltype(value)>;
            const Field<R>* field = FindField<R>(name);
            if (field == nullptr || field->type != type) return NoField(name, type);
            return action(value, *field);
        },
        record->value);
}

// The text member of the record; a text record is its own text.
template <typename R>
std::string& TextOf(R& record, const Field<R>& field) {
    return record.*(field.text);
}
std::string& TextOf(std::string& record, const Field<std::string>&) { return record; }
const std::string& TextOf(const std::string& record, const Field<std::string>&) {
    return record;
}
template <typename R>
const std::string& TextOf(const R& record, const Field<R>& field) {
    return record.*(field.text);
}

constexpr int kKinds = static_cast<int>(std::variant_size_v<RecordValue>);

bool IsKind(int kind) { return kind >= 0 && kind < kKinds; }

// A default record of the kind.
template <std::size_t Index = 0>
RecordValue NewValue(int kind) {
    if constexpr (Index + 1 < std::variant_size_v<RecordValue>) {
        if (kind != static_cast<int>(Index)) return NewValue<Index + 1>(kind);
    }
    return RecordValue(std::in_place_index<Index>);
}

// Calls the action with the field table of the kind.
template <typename Action, std::size_t Index = 0>
wi_code WithFieldsOf(int kind, Action&& action) {
    if constexpr (Index + 1 < std::variant_size_v<RecordValue>) {
        if (kind != static_cast<int>(Index)) {
            return WithFieldsOf<Action, Index + 1>(kind, std::forward<Action>(action));
        }
    }
    return action(FieldsOf<std::variant_alternative_t<Index, RecordValue>>());
}

}  // namespace
}  // namespace wi::capi

using wi::capi::Call;
using wi::capi::Misuse;

extern "C" {

wi_code wi_record_field(wi_record_kind kind, int index, const char** name, wi_field_type* type,
                        int* list_kind) {
    return Call([&] {
        if (!wi::capi::IsKind(kind)) return Misuse("no such kind of record");
        return wi::capi::WithFieldsOf(kind, [&](const auto& fields) {
            if (index < 0 || static_cast<std::size_t>(index) >= fields.size()) {
                return Misuse("the kind of record has no field " + std::to_string(index));
            }
            const auto& field = fields[static_cast<std::size_t>(index)];
            if (name != nullptr) *name = field.name;
            if (type != nullptr) *type = field.type;
            if (list_kind != nullptr) *list_kind = field.type == WI_FIELD_LIST ? field.listKind : -1;
            return WI_OK;
        });
    });
}

wi_code wi_record_new(wi_record_kind kind, wi_record** record) {
    return Call([&] {
        if (!wi::capi::IsKind(kind)) return Misuse("no such kind of record");
        if (record == nullptr) return Misuse("the result pointer is null");
        *record = new wi_record{wi::capi::NewValue(kind)};
        return WI_OK;
    });
}

wi_code wi_record_copy(const wi_record* record, wi_record** copy) {
    return Call([&] {
        if (record == nullptr || copy == nullptr) return Misuse("the record or result is null");
        *copy = new wi_record(*record);
        return WI_OK;
    });
}

void wi_record_free(wi_record* record) { delete record; }

wi_code wi_record_get_kind(const wi_record* record, wi_record_kind* kind) {
    return Call([&] {
        if (record == nullptr || kind == nullptr) return Misuse("the record or result is null");
        *kind = static_cast<wi_record_kind>(record->value.index());
        return WI_OK;
    });
}

wi_code wi_record_get_text(const wi_record* record, const char* field, const char** value) {
    return Call([&] {
        if (value == nullptr) return Misuse("the result pointer is null");
        return wi::capi::WithField(record, field, WI_FIELD_TEXT, [&](const auto& r, const auto& f) {
            *value = wi::capi::TextOf(r, f).c_str();
            return WI_OK;
        });
    });
}

wi_code wi_record_set_text(wi_record* record, const char* field, const char* value) {
    return Call([&] {
        return wi::capi::WithField(record, field, WI_FIELD_TEXT, [&](auto& r, const auto& f) {
            wi::capi::TextOf(r, f) = value != nullptr ? value : "";
            return WI_OK;
        });
    });
}

wi_code wi_record_get_int(const wi_record* record, const char* field, int64_t* value) {
    return Call([&] {
        if (value == nullptr) return Misuse("the result pointer is null");
        return wi::capi::WithField(record, field, WI_FIELD_INT, [&](const auto& r, const auto& f) {
            *value = f.getInt(r);
            return WI_OK;
        });
    });
}

wi_code wi_record_set_int(wi_record* record, const char* field, int64_t value) {
    return Call([&] {
        return wi::capi::WithField(record, field, WI_FIELD_INT, [&](auto& r, const auto& f) {
            if (!f.setInt(r, value)) {
                return Misuse("the field \"" + std::string(f.name) + "\" cannot hold " +
                              std::to_string(value));
            }
            return WI_OK;
        });
    });
}

wi_code wi_record_get_list(const wi_record* record, const char* field, wi_list** list) {
    return Call([&] {
        if (list == nullptr) return Misuse("the result pointer is null");
        return wi::capi::WithField(record, field, WI_FIELD_LIST, [&](const auto& r, const auto& f) {
            auto copy = std::make_unique<wi_list>(wi_list{f.listKind, {}});
            f.getList(r, copy->records);
            *list = copy.release();
            return WI_OK;
        });
    });
}

wi_code wi_record_set_list(wi_record* record, const char* field, const wi_list* list) {
    return Call([&] {
        if (list == nullptr) return Misuse("the list is null");
        return wi::capi::WithField(record, field, WI_FIELD_LIST, [&](auto& r, const auto& f) {
            if (list->kind != f.listKind) {
                return Misuse("the field \"" + std::string(f.name) +
                              "\" holds records of another kind");
            }
            f.setList(r, *list);
            return WI_OK;
        });
    });
}

wi_code wi_list_new(wi_record_kind kind, wi_list** list) {
    return Call([&] {
        if (!wi::capi::IsKind(kind)) return Misuse("no such kind of record");
        if (list == nullptr) return Misuse("the result pointer is null");
        *list = new wi_list{kind, {}};
        return WI_OK;
    });
}

void wi_list_free(wi_list* list) { delete list; }

wi_code wi_list_get_kind(const wi_list* list, wi_record_kind* kind) {
    return Call([&] {
        if (list == nullptr || kind == nullptr) return Misuse("the list or result is null");
        *kind = list->kind;
        return WI_OK;
    });
}

wi_code wi_list_count(const wi_list* list, int64_t* count) {
    return Call([&] {
        if (list == nullptr || count == nullptr) return Misuse("the list or result is null");
        *count = static_cast<int64_t>(list->records.size());
        return WI_OK;
    });
}

wi_code wi_list_get(const wi_list* list, int64_t index, const wi_record** record) {
    return Call([&] {
        if (list == nullptr || record == nullptr) return Misuse("the list or result is null");
        if (index < 0 || static_cast<std::uint64_t>(index) >= list->records.size()) {
            return Misuse("the list has no record " + std::to_string(index));
        }
        *record = &list->records[static_cast<std::size_t>(index)];
        return WI_OK;
    });
}

wi_code wi_list_append(wi_list* list, const wi_record* record) {
    return Call([&] {
        if (list == nullptr || record == nullptr) return Misuse("the list or record is null");
        if (static_cast<int>(record->value.index()) != list->kind) {
            return Misuse("the record is of another kind than the list's");
        }
        list->records.push_back(*record);
        return WI_OK;
    });
}

}  // extern "C"
