// The benchmark records of filelist_bench_data.h as the library's software records.
#pragma once

#include <list>
#include <string>

#include "filelist_bench_data.h"
#include "webinteractive/records.h"

namespace wi::bench {

inline std::list<ISoftInfoInc::_SoftInfo> MakeBenchSoftwares() {
    std::list<ISoftInfoInc::_SoftInfo> softs;
    for (int s = 0; s < kBenchSofts; ++s) {
        auto text = [s](const char* name, int item = -1) {
            char value[128];
            BenchText(value, sizeof value, name, s, item);
            return std::string(value);
        };
        ISoftInfoInc::_SoftInfo& soft = softs.emplace_back();
        for (auto [name, member] : {
                 std::pair{"GUID", &ISoftInfoInc::_SoftInfo::GUID},
                 {"Name", &ISoftInfoInc::_SoftInfo::Name},
                 {"Vendor", &ISoftInfoInc::_SoftInfo::Vendor},
                 {"pn_name", &ISoftInfoInc::_SoftInfo::pn_name},
                 {"Version", &ISoftInfoInc::_SoftInfo::Version},
                 {"OriginalVersion", &ISoftInfoInc::_SoftInfo::OriginalVersion},
                 {"SetupPath", &ISoftInfoInc::_SoftInfo::SetupPath},
                 {"HelpLink", &ISoftInfoInc::_SoftInfo::HelpLink},
                 {"UpdateLink", &ISoftInfoInc::_SoftInfo::UpdateLink},
                 {"SetupSourcePath", &ISoftInfoInc::_SoftInfo::SetupSourcePath},
                 {"DownloadPath", &ISoftInfoInc::_SoftInfo::DownloadPath},
                 {"special_code", &ISoftInfoInc::_SoftInfo::special_code},
                 {"authorized_prefix", &ISoftInfoInc::_SoftInfo::authorized_prefix},
                 {"comments", &ISoftInfoInc::_SoftInfo::comments},
                 {"contact", &ISoftInfoInc::_SoftInfo::contact},
                 {"help_telephone", &ISoftInfoInc::_SoftInfo::help_telephone},
                 {"install_date", &ISoftInfoInc::_SoftInfo::install_date},
                 {"modify_path", &ISoftInfoInc::_SoftInfo::modify_path},
                 {"readme", &ISoftInfoInc::_SoftInfo::readme},
                 {"product_id", &ISoftInfoInc::_SoftInfo::product_id},
                 {"pn_version", &ISoftInfoInc::_SoftInfo::pn_version}}) {
            soft.*member = text(name);
        }
        const int number = BenchNumber(s, -1);
        for (int ISoftInfoInc::_SoftInfo::*member :
             {&ISoftInfoInc::_SoftInfo::Type, &ISoftInfoInc::_SoftInfo::is_protected,
              &ISoftInfoInc::_SoftInfo::WindowsVersion, &ISoftInfoInc::_SoftInfo::Category,
              &ISoftInfoInc::_SoftInfo::estimated_size, &ISoftInfoInc::_SoftInfo::language,
              &ISoftInfoInc::_SoftInfo::no_modify, &ISoftInfoInc::_SoftInfo::no_remove,
              &ISoftInfoInc::_SoftInfo::no_repair, &ISoftInfoInc::_SoftInfo::system_component,
              &ISoftInfoInc::_SoftInfo::version_info, &ISoftInfoInc::_SoftInfo::version_major,
              &ISoftInfoInc::_SoftInfo::version_minor,
              &ISoftInfoInc::_SoftInfo::windows_installer,
              &ISoftInfoInc::_SoftInfo::analyse_result}) {
            soft.*member = number;
        }
        soft.Size = BenchSize(s);

        for (int i = 0; i < kBenchFiles; ++i) {
            IFileInfoInc::_FileInfo file;
            for (auto [name, member] : {
                     std::pair{"SId", &IFileInfoInc::_FileInfo::SId},
                     {"Name", &IFileInfoInc::_FileInfo::Name},
                     {"SetupPath", &IFileInfoInc::_FileInfo::SetupPath},
                     {"ProductName", &IFileInfoInc::_FileInfo::ProductName},
                     {"ProductVersion", &IFileInfoInc::_FileInfo::ProductVersion},
                     {"InsideName", &IFileInfoInc::_FileInfo::InsideName},
                     {"OriginalName", &IFileInfoInc::_FileInfo::OriginalName},
                     {"CreateDate", &IFileInfoInc::_FileInfo::CreateDate},
                     {"ModifyDate", &IFileInfoInc::_FileInfo::ModifyDate},
                     {"AccessDate", &IFileInfoInc::_FileInfo::AccessDate},
                     {"Description", &IFileInfoInc::_FileInfo::Description},
                     {"CharacterCode", &IFileInfoInc::_FileInfo::CharacterCode},
                     {"file_version", &IFileInfoInc::_FileInfo::file_version},
                     {"company_name", &IFileInfoInc::_FileInfo::company_name},
                     {"copy_right", &IFileInfoInc::_FileInfo::copy_right},
                     {"language", &IFileInfoInc::_FileInfo::language},
                     {"particularinfo", &IFileInfoInc::_FileInfo::particularinfo}}) {
                file.*member = text(name, i);
            }
            file.Type = file.Category = file.analyse_result = file.Component = BenchNumber(s, i);
            file.analyseFlag = file.delFlag = BenchFlag(i);
            soft.files.insert(std::move(file));
        }
        for (int i = 0; i < kBenchDeps; ++i) {
            IDepInfoInc::_DepInfo dep;
            dep.Name = text("Name", i);
            dep.SetupPath = text("SetupPath", i);
            dep.special_code = soft.special_code;
            dep.delflag = BenchFlag(i) != 0;
            soft.dependences.insert(std::move(dep));
        }
        for (int i = 0; i < kBenchConfs; ++i) {
            IConfInfoInc::_ConfInfo conf;
            conf.Source = text("Source", i);
            conf.Key = text("Key", i);
            conf.Value = text("Value", i);
            conf.Type = conf.Action = BenchNumber(s, i);
            conf.delflag = BenchFlag(i) != 0;
            soft.configs.insert(std::move(conf));
        }
    }
    return softs;
}

}  // namespace wi::bench
