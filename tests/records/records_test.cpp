#include "webinteractive/records.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

using IConfInfoInc::_ConfInfo;
using IDepInfoInc::_DepInfo;
using IFileInfoInc::_FileInfo;
using ISoftInfoInc::_SoftID;
using ISoftInfoInc::_SoftInfo;

namespace {

template <typename Record>
using Mutation = std::pair<const char*, std::function<void(Record&)>>;

// For every mutation: the changed record and the unchanged one are two set items, the changed
// record inserted twice is one, and the ordering behaves as a strict weak ordering over the
// sample of all changed records plus the default.
template <typename Record>
void CheckOrdering(const std::vector<Mutation<Record>>& mutations) {
    std::vector<Record> sample{Record{}};
    for (const auto& [member, mutate] : mutations) {
        Record changed;
        mutate(changed);
        std::set<Record> records{Record{}, changed, changed};
        EXPECT_EQ(records.size(), 2u) << "records differing in " << member << " were merged";
        sample.push_back(changed);
    }
    for (const Record& a : sample) {
        EXPECT_FALSE(a < a);
        for (const Record& b : sample) {
            if (a < b) {
                EXPECT_FALSE(b < a);
            }
            for (const Record& c : sample) {
                if (a < b && b < c) {
                    EXPECT_TRUE(a < c);
                }
            }
        }
    }
    // Every changed record differs from every other, so the set keeps them all.
    std::set<Record> all(sample.begin(), sample.end());
    EXPECT_EQ(all.size(), sample.size());
}

template <typename Record>
std::function<void(Record&)> SetText(std::string Record::*member) {
    return [member](Record& r) { r.*member = "x"; };
}

}  // namespace

TEST(RecordOrdering, SoftIdDistinguishesEveryMember) {
    CheckOrdering<_SoftID>({
        {"GUID", SetText(&_SoftID::GUID)},
        {"pn_name", SetText(&_SoftID::pn_name)},
        {"pn_version", SetText(&_SoftID::pn_version)},
    });
}

TEST(RecordOrdering, FileInfoDistinguishesEveryMember) {
    CheckOrdering<_FileInfo>({
        {"SId", SetText(&_FileInfo::SId)},
        {"SetupPath", SetText(&_FileInfo::SetupPath)},
        {"LocalPath", SetText(&_FileInfo::LocalPath)},
        {"OriginalName", SetText(&_FileInfo::OriginalName)},
        {"ProductName", SetText(&_FileInfo::ProductName)},
        {"ProductVersion", SetText(&_FileInfo::ProductVersion)},
        {"file_version", SetText(&_FileInfo::file_version)},
        {"company_name", SetText(&_FileInfo::company_name)},
        {"copy_right", SetText(&_FileInfo::copy_right)},
        {"Name", SetText(&_FileInfo::Name)},
        {"Description", SetText(&_FileInfo::Description)},
        {"InsideName", SetText(&_FileInfo::InsideName)},
        {"language", SetText(&_FileInfo::language)},
        {"CreateDate", SetText(&_FileInfo::CreateDate)},
        {"ModifyDate", SetText(&_FileInfo::ModifyDate)},
        {"AccessDate", SetText(&_FileInfo::AccessDate)},
        {"CharacterCode", SetText(&_FileInfo::CharacterCode)},
        {"Component", [](_FileInfo& f) { f.Component = 7; }},
        {"Type", [](_FileInfo& f) { f.Type = 3; }},
        {"Category", [](_FileInfo& f) { f.Category = -1; }},
        {"analyseFlag", [](_FileInfo& f) { f.analyseFlag = 1; }},
        {"delFlag", [](_FileInfo& f) { f.delFlag = 1; }},
        {"analyse_result", [](_FileInfo& f) { f.analyse_result = 0x40; }},
        {"particularinfo", SetText(&_FileInfo::particularinfo)},
    });
}

TEST(RecordOrdering, DepInfoDistinguishesEveryMember) {
    CheckOrdering<_DepInfo>({
        {"Name", SetText(&_DepInfo::Name)},
        {"SetupPath", SetText(&_DepInfo::SetupPath)},
        {"LocalPath", SetText(&_DepInfo::LocalPath)},
        {"special_code", SetText(&_DepInfo::special_code)},
        {"delflag", [](_DepInfo& d) { d.delflag = false; }},
    });
}

TEST(RecordOrdering, ConfInfoDistinguishesEveryMember) {
    CheckOrdering<_ConfInfo>({
        {"Source", SetText(&_ConfInfo::Source)},
        {"Key", SetText(&_ConfInfo::Key)},
        {"Value", SetText(&_ConfInfo::Value)},
        {"Type", [](_ConfInfo& c) { c.Type = 4; }},
        {"Action", [](_ConfInfo& c) { c.Action = 2; }},
        {"delflag", [](_ConfInfo& c) { c.delflag = false; }},
    });
}

TEST(RecordOrdering, SetsMergeIdenticalRecordsAndKeepTheirOrder) {
    _SoftID a{"{A}", "name", "1.0"};
    _SoftID b{"{B}", "name", "1.0"};
    std::set<_SoftID> ids{b, a, _SoftID{"{A}", "name", "1.0"}};
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_EQ(ids.begin()->GUID, "{A}");

    _ConfInfo entry;
    entry.Source = "HKEY_LOCAL_MACHINE\\Software\\X";
    entry.Key = "Path";
    std::set<_ConfInfo> configs{entry, entry};
    EXPECT_EQ(configs.size(), 1u);
}
