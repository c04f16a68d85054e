#include "record_json.h"

#include <string>
#include <utility>

namespace cli {

namespace {

using json::Value;

Value PatchJson(const _PatchInfo& patch) {
    Value object = Value::object();
    object["PatchID"] = json::Text(patch.PatchID);
    object["PNID"] = json::Text(patch.PNID);
    object["CurrEdition"] = json::Text(patch.CurrEdition);
    object["SportEdition"] = json::Text(patch.SportEdition);
    object["Enforces"] = patch.Enforces;
    object["Descrip"] = json::Text(patch.Descrip);
    object["Content"] = json::Text(patch.Content);
    object["DefaultInstall"] = patch.DefaultInstall;
    object["SavePath"] = json::Text(patch.SavePath);
    object["StartTime"] = json::Text(patch.StartTime);
    object["EndTime"] = json::Text(patch.EndTime);
    object["VerificationCode"] = json::Text(patch.VerificationCode);
    Value dependences = Value::array();
    for (const _PatchInfo& dependence : patch.dependences) {
        dependences.push_back(PatchJson(dependence));
    }
    object["dependences"] = std::move(dependences);
    return object;
}

Value FileJson(const IFileInfoInc::_FileInfo& file) {
    Value object = Value::object();
    const std::pair<const char*, const std::string*> texts[] = {
        {"SId", &file.SId},
        {"SetupPath", &file.SetupPath},
        {"LocalPath", &file.LocalPath},
        {"OriginalName", &file.OriginalName},
        {"ProductName", &file.ProductName},
        {"ProductVersion", &file.ProductVersion},
        {"file_version", &file.file_version},
        {"company_name", &file.company_name},
        {"copy_right", &file.copy_right},
        {"Name", &file.Name},
        {"Description", &file.Description},
        {"InsideName", &file.InsideName},
        {"language", &file.language},
        {"CreateDate", &file.CreateDate},
        {"ModifyDate", &file.ModifyDate},
        {"AccessDate", &file.AccessDate},
        {"CharacterCode", &file.CharacterCode},
    };
    for (const auto& text : texts) object[text.first] = json::Text(*text.second);
    object["Component"] = file.Component;
    object["Type"] = file.Type;
    object["Category"] = file.Category;
    object["analyseFlag"] = static_cast<int>(file.analyseFlag);
    object["delFlag"] = static_cast<int>(file.delFlag);
    object["analyse_result"] = file.analyse_result;
    object["particularinfo"] = json::Text(file.particularinfo);
    return object;
}

Value DependenceJson(const IDepInfoInc::_DepInfo& dependence) {
    Value object = Value::object();
    object["Name"] = json::Text(dependence.Name);
    object["SetupPath"] = json::Text(dependence.SetupPath);
    object["LocalPath"] = json::Text(dependence.LocalPath);
    object["special_code"] = json::Text(dependence.special_code);
    object["delflag"] = dependence.delflag;
    return object;
}

}  // namespace

Value SoftIdJson(const ISoftInfoInc::_SoftID& id) {
    Value object = Value::object();
    object["GUID"] = json::Text(id.GUID);
    object["pn_name"] = json::Text(id.pn_name);
    object["pn_version"] = json::Text(id.pn_version);
    return object;
}

Value ConfInfoJson(const IConfInfoInc::_ConfInfo& entry) {
    Value object = Value::object();
    object["Source"] = json::Text(entry.Source);
    object["Key"] = json::Text(entry.Key);
    object["Value"] = json::Text(entry.Value);
    object["Type"] = entry.Type;
    object["Action"] = entry.Action;
    object["delflag"] = entry.delflag;
    return object;
}

Value SoftInfoJson(const ISoftInfoInc::_SoftInfo& soft) {
    using ISoftInfoInc::_SoftInfo;
    Value object = Value::object();
    const std::pair<const char*, const std::string _SoftInfo::*> texts[] = {
        {"GUID", &_SoftInfo::GUID},
        {"Name", &_SoftInfo::Name},
        {"Vendor", &_SoftInfo::Vendor},
        {"Version", &_SoftInfo::Version},
        {"OriginalVersion", &_SoftInfo::OriginalVersion},
        {"pn_name", &_SoftInfo::pn_name},
        {"pn_version", &_SoftInfo::pn_version},
        {"special_code", &_SoftInfo::special_code},
        {"product_id", &_SoftInfo::product_id},
        {"authorized_prefix", &_SoftInfo::authorized_prefix},
        {"comments", &_SoftInfo::comments},
        {"contact", &_SoftInfo::contact},
        {"HelpLink", &_SoftInfo::HelpLink},
        {"help_telephone", &_SoftInfo::help_telephone},
        {"install_date", &_SoftInfo::install_date},
        {"SetupPath", &_SoftInfo::SetupPath},
        {"SetupSourcePath", &_SoftInfo::SetupSourcePath},
        {"modify_path", &_SoftInfo::modify_path},
        {"readme", &_SoftInfo::readme},
        {"UpdateLink", &_SoftInfo::UpdateLink},
        {"DownloadPath", &_SoftInfo::DownloadPath},
        {"creator", &_SoftInfo::creator},
        {"OSCode", &_SoftInfo::OSCode},
    };
    for (const auto& text : texts) object[text.first] = json::Text(soft.*text.second);
    const std::pair<const char*, const int _SoftInfo::*> numbers[] = {
        {"estimated_size", &_SoftInfo::estimated_size},
        {"language", &_SoftInfo::language},
        {"no_modify", &_SoftInfo::no_modify},
        {"no_remove", &_SoftInfo::no_remove},
        {"no_repair", &_SoftInfo::no_repair},
        {"system_component", &_SoftInfo::system_component},
        {"version_info", &_SoftInfo::version_info},
        {"version_major", &_SoftInfo::version_major},
        {"version_minor", &_SoftInfo::version_minor},
        {"windows_installer", &_SoftInfo::windows_installer},
        {"Type", &_SoftInfo::Type},
        {"WindowsVersion", &_SoftInfo::WindowsVersion},
        {"Category", &_SoftInfo::Category},
        {"analyse_result", &_SoftInfo::analyse_result},
        {"is_protected", &_SoftInfo::is_protected},
    };
    for (const auto& number : numbers) object[number.first] = soft.*number.second;
    object["Size"] = soft.Size;
    Value files = Value::array();
    for (const IFileInfoInc::_FileInfo& file : soft.files) files.push_back(FileJson(file));
    object["files"] = std::move(files);
    Value dependences = Value::array();
    for (const IDepInfoInc::_DepInfo& dependence : soft.dependences) {
        dependences.push_back(DependenceJson(dependence));
    }
    object["dependences"] = std::move(dependences);
    Value configs = Value::array();
    for (const IConfInfoInc::_ConfInfo& entry : soft.configs) {
        configs.push_back(ConfInfoJson(entry));
    }
    object["configs"] = std::move(configs);
    Value patchs = Value::array();
    for (const _PatchInfo& patch : soft.patchs) patchs.push_back(PatchJson(patch));
    object["patchs"] = std::move(patchs);
    return object;
}

Value SoftInfoListJson(const std::list<ISoftInfoInc::_SoftInfo>& softs) {
    Value records = Value::array();
    for (const ISoftInfoInc::_SoftInfo& soft : softs) records.push_back(SoftInfoJson(soft));
    return records;
}

}  // namespace cli
