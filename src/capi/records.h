// The record and list handles of the C interface: copies of the C++ records, and the conversions
// between lists and the C++ sets and lists the operations take and give.
#pragma once

#include <list>
#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "capi/call.h"
#include "webinteractive/log.h"
#include "webinteractive/records.h"
#include "webinteractive/userinfo.h"
#include "webinteractive/webinteractive_c.h"

namespace wi::capi {

// The alternatives in the order of wi_record_kind, so that a record's kind is its index.
using RecordValue =
    std::variant<std::string, ISoftInfoInc::_SoftID, ISoftInfoInc::_SoftInfo,
                 IFileInfoInc::_FileInfo, IDepInfoInc::_DepInfo, IConfInfoInc::_ConfInfo,
                 _PatchInfo, LogInfo, IUserInfoInc::UserInfo>;

// The kind of the records of C++ type T.
template <typename T, std::size_t Index = 0>
constexpr wi_record_kind KindOf() {
    static_assert(Index < std::variant_size_v<RecordValue>, "not a record of the C interface");
    if constexpr (std::is_same_v<T, std::variant_alternative_t<Index, RecordValue>>) {
        return static_cast<wi_record_kind>(Index);
    } else {
        return KindOf<T, Index + 1>();
    }
}

}  // namespace wi::capi

struct wi_record {
    wi::capi::RecordValue value;
};

struct wi_list {
    wi_record_kind kind;
    std::vector<wi_record> records;
};

namespace wi::capi {

// Whether the handle is there and holds records of type T; WI_MISUSE with the reason otherwise.
template <typename T>
wi_code CheckKind(const wi_record* record) {
    if (record == nullptr) return Misuse("the record is null");
    if (!std::holds_alternative<T>(record->value)) return Misuse("the record is of another kind");
    return WI_OK;
}
template <typename T>
wi_code CheckKind(const wi_list* list) {
    if (list == nullptr) return Misuse("the list is null");
    if (list->kind != KindOf<T>()) return Misuse("the list holds records of another kind");
    return WI_OK;
}

// The list's records as the C++ container (a std::set or std::list) of T.
template <typename Container>
Container ToContainer(const wi_list& list) {
    Container container;
    for (const wi_record& record : list.records) {
        container.insert(container.end(),
                         std::get<typename Container::value_type>(record.value));
    }
    return container;
}

// A new list (the host's) of copies of the container's records; WI_OK.
template <typename Container>
wi_code HandOutList(const Container& container, wi_list** result) {
    using T = typename Container::value_type;
    auto list = std::make_unique<wi_list>(wi_list{KindOf<T>(), {}});
    list->records.reserve(container.size());
    for (const T& record : container) list->records.push_back(wi_record{record});
    *result = list.release();
    return WI_OK;
}

// A new record (the host's) holding a copy of the value; WI_OK.
template <typename T>
wi_code HandOutRecord(const T& value, wi_record** result) {
    *result = new wi_record{value};
    return WI_OK;
}

}  // namespace wi::capi
