#include "record_json.h"

#include <string>
#include <utility>

namespace cli {

namespace {

using json::Value;

Value PatchJson(const _PatchInfo& patch) {
    Value object = Value::Object();
    object.Set("PatchID", Value::Text(patch.PatchID));
    object.Set("PNID", Value::Text(patch.PNID));
    object.Set("CurrEdition", Value::Text(patch.CurrEdition));
    object.Set("SportEdition", Value::Text(patch.SportEdition));
    object.Set("Enforces", Value::Bool(patch.Enforces));
    object.Set("Descrip", Value::Text(patch.Descrip));
    object.Set("Content", Value::Text(patch.Content));
    object.Set("DefaultInstall", Value::Bool(patch.DefaultInstall));
    object.Set("SavePath", Value::Text(patch.SavePath));
    object.Set("StartTime", Value::Text(patch.StartTime));
    object.Set("EndTime", Value::Text(patch.EndTime));
    object.Set("VerificationCode", Value::Text(patch.VerificationCode));
    Value dependences = Value::Array();
    for (const _PatchInfo& dependence : patch.dependences) dependences.Push(PatchJson(dependence));
    object.Set("dependences", std::move(dependences));
    return object;
}

Value FileJson(const IFileInfoInc::_FileInfo& file) {
    Value object = Value::Object();
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
    for (const auto& text : texts) object.Set(text.first, Value::Text(*text.second));
    object.Set("Component", Value::Number(file.Component));
    object.Set("Type", Value::Number(file.Type));
    object.Set("Category", Value::Number(file.Category));
    object.Set("analyseFlag", Value::Number(file.analyseFlag));
    object.Set("delFlag", Value::Number(file.delFlag));
    object.Set("analyse_result", Value::Number(file.analyse_result));
    object.Set("particularinfo", Value::Text(file.particularinfo));
    return object;
}

Value DependenceJson(const IDepInfoInc::_DepInfo& dependence) {
    Value object = Value::Object();
    object.Set("Name", Value::Text(dependence.Name));
    object.Set("SetupPath", Value::Text(dependence.SetupPath));
    object.Set("LocalPath", Value::Text(dependence.LocalPath));
    object.Set("special_code", Value::Text(dependence.special_code));
    object.Set("delflag", Value::Bool(dependence.delflag));
    return object;
}

}  // namespace

Value SoftIdJson(const ISoftInfoInc::_SoftID& id) {
    Value object = Value::Object();
    object.Set("GUID", Value::Text(id.GUID));
    object.Set("pn_name", Value::Text(id.pn_name));
    object.Set("pn_version", Value::Text(id.pn_version));
    return object;
}

Value ConfInfoJson(const IConfInfoInc::_ConfInfo& entry) {
    Value object = Value::Object();
    object.Set("Source", Value::Text(entry.Source));
    object.Set("Key", Value::Text(entry.Key));
    object.Set("Value", Value::Text(entry.Value));
    object.Set("Type", Value::Number(entry.Type));
    object.Set("Action", Value::Number(entry.Action));
    object.Set("delflag", Value::Bool(entry.delflag));
    return object;
}

Value SoftInfoJson(const ISoftInfoInc::_SoftInfo& soft) {
    using ISoftInfoInc::_SoftInfo;
    Value object = Value::Object();
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
    for (const auto& text : texts) object.Set(text.first, Value::Text(soft.*text.second));
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
    for (const auto& number : numbers) object.Set(number.first, Value::Number(soft.*number.second));
    object.Set("Size", Value::Number(soft.Size));
    Value files = Value::Array();
    for (const IFileInfoInc::_FileInfo& file : soft.files) files.Push(FileJson(file));
    object.Set("files", std::move(files));
    Value dependences = Value::Array();
    for (const IDepInfoInc::_DepInfo& dependence : soft.dependences) {
        dependences.Push(DependenceJson(dependence));
    }
    object.Set("dependences", std::move(dependences));
    Value configs = Value::Array();
    for (const IConfInfoInc::_ConfInfo& entry : soft.configs) configs.Push(ConfInfoJson(entry));
    object.Set("configs", std::move(configs));
    Value patchs = Value::Array();
    for (const _PatchInfo& patch : soft.patchs) patchs.Push(PatchJson(patch));
    object.Set("patchs", std::move(patchs));
    return object;
}

Value SoftInfoListJson(const std::list<ISoftInfoInc::_SoftInfo>& softs) {
    Value records = Value::Array();
    for (const ISoftInfoInc::_SoftInfo& soft : softs) records.Push(SoftInfoJson(soft));
    return records;
}

}  // namespace cli
