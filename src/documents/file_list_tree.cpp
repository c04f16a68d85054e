#include "documents/file_list_tree.h"

#include "documents/xml_builder.h"

namespace wi::documents {

namespace {

using IConfInfoInc::_ConfInfo;
using IDepInfoInc::_DepInfo;
using IFileInfoInc::_FileInfo;
using ISoftInfoInc::_SoftInfo;

void AppendBaseInfo(xml::Element& software, const char* baseInfoName, const _SoftInfo& soft) {
    xml::Element base = software.AppendElement(baseInfoName);
    AppendText(base, "GUID", soft.GUID);
    AppendInt(base, "Type", soft.Type);
    AppendText(base, "Name", soft.Name);
    AppendText(base, "Vendor", soft.Vendor);
    AppendInt(base, "is_protected", soft.is_protected);
    AppendText(base, "pn_name", soft.pn_name);
}

void AppendFile(xml::Element& fileList, const _FileInfo& file) {
    xml::Element item = fileList.AppendElement("file");
    AppendText(item, "SId", file.SId);
    AppendText(item, "Name", file.Name);
    AppendText(item, "SetupPath", file.SetupPath);
    AppendInt(item, "Type", file.Type);
    AppendText(item, "ProductName", file.ProductName);
    AppendText(item, "ProductVersion", file.ProductVersion);
    AppendText(item, "InsideName", file.InsideName);
    AppendText(item, "OriginalName", file.OriginalName);
    AppendText(item, "CreateDate", file.CreateDate);
    AppendText(item, "ModifyDate", file.ModifyDate);
    AppendText(item, "AccessDate", file.AccessDate);
    AppendText(item, "Description", file.Description);
    AppendText(item, "CharacterCode", file.CharacterCode);
    AppendInt(item, "Category", file.Category);
    AppendText(item, "file_version", file.file_version);
    AppendText(item, "company_name", file.company_name);
    AppendText(item, "copy_right", file.copy_right);
    AppendText(item, "language", file.language);
    AppendInt(item, "analyse_result", file.analyse_result);
    AppendInt(item, "Component", file.Component);
    AppendText(item, "particularinfo", file.particularinfo);
    AppendFlag(item, "analyseFlag", file.analyseFlag != 0);
    AppendFlag(item, "delFlag", file.delFlag != 0);
}

// A dependence carries the special code of the software that owns it, not its own.
void AppendDependence(xml::Element& dependences, const _DepInfo& dependence,
                      const std::string& specialCode) {
    xml::Element item = dependences.AppendElement("dep");
    AppendEmpty(item, "SId");
    AppendText(item, "Name", dependence.Name);
    AppendText(item, "SetupPath", dependence.SetupPath);
    AppendInt(item, "delflag", dependence.delflag ? 1 : 0);
    AppendText(item, "special_code", specialCode);
}

void AppendConfig(xml::Element& configs, const _ConfInfo& config) {
    xml::Element item = configs.AppendElement("cfg");
    AppendEmpty(item, "CfgId");
    AppendText(item, "Source", config.Source);
    AppendText(item, "Key", config.Key);
    AppendText(item, "Value", config.Value);
    AppendInt(item, "Type", config.Type);
    AppendInt(item, "delflag", config.delflag ? 1 : 0);
    AppendInt(item, "Action", config.Action);
}

// "Version" with "VersionInfo", then the three containers, each written even when empty.
void AppendVersion(xml::Element& software, const _SoftInfo& soft, FileListSteps& steps) {
    xml::Element version = software.AppendElement("Version");
    AppendVersionInfo(version, soft, VersionInfoKind::kFileList);
    steps.VersionStarted(soft);

    xml::Element files = version.AppendElement("FileList");
    for (const _FileInfo& file : soft.files) {
        steps.FileReached(file);
        AppendFile(files, file);
    }
    xml::Element dependences = version.AppendElement("Dependence");
    for (const _DepInfo& dependence : soft.dependences) {
        steps.DependenceReached(dependence);
        AppendDependence(dependences, dependence, soft.special_code);
    }
    xml::Element configs = version.AppendElement("Configration");
    for (const _ConfInfo& config : soft.configs) {
        steps.ConfigReached(config);
        AppendConfig(configs, config);
    }
    steps.VersionFinished(soft);
}

}  // namespace

void AppendVersionInfo(xml::Element& version, const _SoftInfo& soft, VersionInfoKind kind) {
    xml::Element info = version.AppendElement("VersionInfo");
    AppendText(info, "GUID", soft.GUID);
    AppendText(info, "Version", soft.Version);
    AppendText(info, "OriginalVersion", soft.OriginalVersion);
    AppendText(info, "SetupPath", soft.SetupPath);
    AppendInt(info, "WindowsVersion", soft.WindowsVersion);
    AppendText(info, "HelpLink", soft.HelpLink);
    AppendText(info, "UpdateLink", soft.UpdateLink);
    AppendInt64(info, "Size", soft.Size);
    AppendText(info, "SetupSourcePath", soft.SetupSourcePath);
    AppendText(info, "DownloadPath", soft.DownloadPath);
    AppendText(info, "special_code", soft.special_code);
    AppendInt(info, "Category", soft.Category);
    AppendText(info, "authorized_prefix", soft.authorized_prefix);
    AppendText(info, "comments", soft.comments);
    AppendText(info, "contact", soft.contact);
    AppendInt(info, "estimated_size", soft.estimated_size);
    AppendText(info, "help_telephone", soft.help_telephone);
    AppendText(info, "install_date", soft.install_date);
    AppendInt(info, "language", soft.language);
    AppendInt(info, "no_modify", soft.no_modify);
    AppendInt(info, "no_remove", soft.no_remove);
    AppendInt(info, "no_repair", soft.no_repair);
    AppendText(info, "modify_path", soft.modify_path);
    AppendText(info, "readme", soft.readme);
    AppendInt(info, "system_component", soft.system_component);
    AppendInt(info, "version_info", soft.version_info);
    AppendInt(info, "version_major", soft.version_major);
    AppendInt(info, "version_minor", soft.version_minor);
    AppendInt(info, "windows_installer", soft.windows_installer);
    if (kind == VersionInfoKind::kInstallInfo) {
        AppendText(info, "creator", soft.creator);
    } else {
        AppendInt(info, "analyse_result", soft.analyse_result);
    }
    AppendText(info, "product_id", soft.product_id);
    AppendText(info, "pn_version", soft.pn_version);
}

bool StartSoftwaresDocument(xml::Document& document, xml::Element& root) {
    try {
        root = document.CreateRoot("softwares");
    } catch (const xml::XmlError&) {
        return false;
    }
    return true;
}

void AppendSoftwares(xml::Element& root, const std::list<_SoftInfo>& softs,
                     const char* baseInfoName, FileListSteps& steps) {
    // The previous GUID starts empty, so records with an empty GUID at the head of the list
    // find no "software" to join.
    std::string previousGuid;
    xml::Element software;
    for (const _SoftInfo& soft : softs) {
        steps.RecordReached(soft);
        if (soft.GUID != previousGuid) {
            software = root.AppendElement("software");
            AppendBaseInfo(software, baseInfoName, soft);
        }
        steps.SoftwareSettled(soft);
        if (software) {
            AppendVersion(software, soft, steps);
        }
        previousGuid = soft.GUID;
    }
}

}  // namespace wi::documents
