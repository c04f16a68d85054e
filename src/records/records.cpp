// The orderings of the record sets. Each compares every member that a document carries (and,
// for files and dependences, the local path the store copies from), so a set never merges two
// records that differ in anything the documents or the store would see.
#include "webinteractive/records.h"

#include <tuple>

namespace ISoftInfoInc {

bool operator<(const _SoftID& a, const _SoftID& b) {
    return std::tie(a.GUID, a.pn_name, a.pn_version) < std::tie(b.GUID, b.pn_name, b.pn_version);
}

}  // namespace ISoftInfoInc

namespace IFileInfoInc {

namespace {

// Bit-fields cannot be bound by reference, so the two flags are compared as values.
auto Key(const _FileInfo& f) {
    return std::tuple_cat(
        std::tie(f.SId, f.SetupPath, f.LocalPath, f.OriginalName, f.ProductName,
                 f.ProductVersion, f.file_version, f.company_name, f.copy_right, f.Name,
                 f.Description, f.InsideName, f.language, f.CreateDate, f.ModifyDate,
                 f.AccessDate, f.CharacterCode, f.Component, f.Type, f.Category),
        std::make_tuple(static_cast<unsigned>(f.analyseFlag), static_cast<unsigned>(f.delFlag)),
        std::tie(f.analyse_result, f.particularinfo));
}

}  // namespace

bool operator<(const _FileInfo& a, const _FileInfo& b) { return Key(a) < Key(b); }

}  // namespace IFileInfoInc

namespace IDepInfoInc {

bool operator<(const _DepInfo& a, const _DepInfo& b) {
    return std::tie(a.Name, a.SetupPath, a.LocalPath, a.special_code, a.delflag) <
           std::tie(b.Name, b.SetupPath, b.LocalPath, b.special_code, b.delflag);
}

}  // namespace IDepInfoInc

namespace IConfInfoInc {

bool operator<(const _ConfInfo& a, const _ConfInfo& b) {
    return std::tie(a.Source, a.Key, a.Value, a.Type, a.Action, a.delflag) <
           std::tie(b.Source, b.Key, b.Value, b.Type, b.Action, b.delflag);
}

}  // namespace IConfInfoInc
