// The oracle's reading of the list documents' parts (reference_xml.h walks the tree): version
// values, file, dependence and configuration items, patches; and every member of a record as
// one text, so that a target compares what the library read with what the walk found.
#pragma once

#include <cstdint>
#include <string>

#include "reference_xml.h"
#include "webinteractive/records.h"

namespace wi::fuzz {

// The children of "VersionInfo" (with "OSCode" where the reader takes it), each present one
// replacing the member's value.
inline void ReadVersionInfo(xmlNodePtr info, ISoftInfoInc::_SoftInfo& r, bool withOSCode) {
    const auto text = [info](const char* name, std::string& member) {
        member = TextIn(info, name, member);
    };
    const auto integer = [info](const char* name, int& member) {
        member = IntegerIn(info, name, member);
    };
    text("GUID", r.GUID);
    text("Version", r.Version);
    text("OriginalVersion", r.OriginalVersion);
    text("SetupPath", r.SetupPath);
    integer("WindowsVersion", r.WindowsVersion);
    text("HelpLink", r.HelpLink);
    text("UpdateLink", r.UpdateLink);
    r.Size = ValueOf(info, "Size", r.Size, NumberOf<std::int64_t>);
    text("SetupSourcePath", r.SetupSourcePath);
    text("DownloadPath", r.DownloadPath);
    text("special_code", r.special_code);
    integer("Category", r.Category);
    text("authorized_prefix", r.authorized_prefix);
    text("comments", r.comments);
    text("contact", r.contact);
    integer("estimated_size", r.estimated_size);
    text("help_telephone", r.help_telephone);
    text("install_date", r.install_date);
    integer("language", r.language);
    integer("no_modify", r.no_modify);
    integer("no_remove", r.no_remove);
    integer("no_repair", r.no_repair);
    text("modify_path", r.modify_path);
    text("readme", r.readme);
    integer("system_component", r.system_component);
    integer("version_info", r.version_info);
    integer("version_major", r.version_major);
    integer("version_minor", r.version_minor);
    integer("windows_installer", r.windows_installer);
    text("product_id", r.product_id);
    text("pn_version", r.pn_version);
    if (withOSCode) text("OSCode", r.OSCode);
}

inline IFileInfoInc::_FileInfo ReadFileItem(xmlNodePtr item) {
    IFileInfoInc::_FileInfo f;
    f.Name = TextIn(item, "Name", f.Name);
    f.SId = TextIn(item, "FID", f.SId);
    f.SetupPath = TextIn(item, "SetupPath", f.SetupPath);
    f.Type = IntegerIn(item, "Type", f.Type);
    f.ProductName = TextIn(item, "ProductName", f.ProductName);
    f.ProductVersion = TextIn(item, "ProductVersion", f.ProductVersion);
    f.InsideName = TextIn(item, "InsideName", f.InsideName);
    f.OriginalName = TextIn(item, "OriginalName", f.OriginalName);
    f.CreateDate = TextIn(item, "CreateDate", f.CreateDate);
    f.ModifyDate = TextIn(item, "ModifyDate", f.ModifyDate);
    f.AccessDate = TextIn(item, "AccessDate", f.AccessDate);
    f.Description = TextIn(item, "Description", f.Description);
    f.CharacterCode = TextIn(item, "CharacterCode", f.CharacterCode);
    f.Category = IntegerIn(item, "Category", f.Category);
    f.file_version = TextIn(item, "file_version", f.file_version);
    f.company_name = TextIn(item, "company_name", f.company_name);
    f.copy_right = TextIn(item, "copy_right", f.copy_right);
    f.language = TextIn(item, "language", f.language);
    f.analyse_result = IntegerIn(item, "analyse_result", f.analyse_result);
    f.Component = IntegerIn(item, "Component", f.Component);
    // Flags: exactly the integer 1.
    f.delFlag = IntegerIn(item, "delFlag", 0) == 1 ? 1 : 0;
    f.analyseFlag = IntegerIn(item, "analyseFlag", 0) == 1 ? 1 : 0;
    return f;
}

inline IDepInfoInc::_DepInfo ReadDependenceItem(xmlNodePtr item) {
    IDepInfoInc::_DepInfo d;
    d.Name = TextIn(item, "Name", d.Name);
    d.SetupPath = TextIn(item, "SetupPath", d.SetupPath);
    d.delflag = BooleanIn(item, "delflag", d.delflag);
    d.special_code = TextIn(item, "special_code", d.special_code);
    return d;
}

inline IConfInfoInc::_ConfInfo ReadConfigurationItem(xmlNodePtr item) {
    IConfInfoInc::_ConfInfo c;
    c.Key = TextIn(item, "Key", c.Key);
    c.Source = TextIn(item, "Source", c.Source);
    c.Value = TextIn(item, "Value", c.Value);
    c.Type = IntegerIn(item, "Type", c.Type);
    c.delflag = BooleanIn(item, "delflag", c.delflag);
    c.Action = IntegerIn(item, "Action", c.Action);
    return c;
}

// One "patch" element: its "version", "patchinfo" and "patchdependence" parts.
inline _PatchInfo ReadPatch(xmlNodePtr patch) {
    _PatchInfo p;
    if (const xmlNodePtr version = FirstNamed(patch, "version")) {
        p.PatchID = TextIn(version, "PatchID", "");
        p.PNID = TextIn(version, "PNID", "");
        p.CurrEdition = TextIn(version, "CurrEdition", "");
        p.SportEdition = TextIn(version, "SportEdition", "");
        p.Enforces = BooleanIn(version, "Enforces", false);
        p.Descrip = TextIn(version, "Descrip", "");
        p.DefaultInstall = BooleanIn(version, "DefaultInstall", false);
        p.SavePath = TextIn(version, "SavePath", "");
        p.VerificationCode = TextIn(version, "VerificationCode", "");
    }
    if (const xmlNodePtr info = FirstNamed(patch, "patchinfo")) {
        p.Content = TextIn(info, "Content", "");
        p.StartTime = TextIn(info, "StartTime", "");
        p.EndTime = TextIn(info, "EndTime", "");
    }
    if (const xmlNodePtr dependence = FirstNamed(patch, "patchdependence")) {
        for (xmlNodePtr pat : ChildElements(dependence)) {
            if (!NamedAnyCase(pat, "pat")) continue;
            _PatchInfo dependent;
            dependent.PatchID = TextIn(pat, "Dependent_PatchID", "");
            dependent.Descrip = TextIn(pat, "Description", "");
            p.dependences.push_back(dependent);
        }
    }
    return p;
}

// The "patch" children of a "patchs" element, appended in document order.
inline void ReadPatches(xmlNodePtr patchs, std::list<_PatchInfo>& into) {
    for (xmlNodePtr patch : ChildElements(patchs)) {
        if (NamedAnyCase(patch, "patch")) into.push_back(ReadPatch(patch));
    }
}

// Every member, in declaration order, one "name=value" a line.
inline std::string Describe(const _PatchInfo& p, const std::string& indent = "") {
    std::string d = indent + "patch PatchID=" + p.PatchID + " PNID=" + p.PNID +
                    " CurrEdition=" + p.CurrEdition + " SportEdition=" + p.SportEdition +
                    " Enforces=" + std::to_string(p.Enforces) + " Descrip=" + p.Descrip +
                    " Content=" + p.Content + " DefaultInstall=" +
                    std::to_string(p.DefaultInstall) + " SavePath=" + p.SavePath +
                    " StartTime=" + p.StartTime + " EndTime=" + p.EndTime +
                    " VerificationCode=" + p.VerificationCode + "\n";
    for (const _PatchInfo& dependent : p.dependences) d += Describe(dependent, indent + "  ");
    return d;
}

inline std::string Describe(const ISoftInfoInc::_SoftInfo& s) {
    std::string d;
    const auto text = [&d](const char* name, const std::string& value) {
        d += std::string(name) + "=" + value + "\n";
    };
    const auto number = [&d](const char* name, long long value) {
        d += std::string(name) + "=" + std::to_string(value) + "\n";
    };
    text("GUID", s.GUID);
    text("product_id", s.product_id);
    text("authorized_prefix", s.authorized_prefix);
    text("comments", s.comments);
    text("contact", s.contact);
    text("Name", s.Name);
    text("OriginalVersion", s.OriginalVersion);
    text("pn_name", s.pn_name);
    text("pn_version", s.pn_version);
    number("estimated_size", s.estimated_size);
    text("HelpLink", s.HelpLink);
    text("help_telephone", s.help_telephone);
    text("install_date", s.install_date);
    text("SetupPath", s.SetupPath);
    text("SetupSourcePath", s.SetupSourcePath);
    number("language", s.language);
    number("no_modify", s.no_modify);
    number("no_remove", s.no_remove);
    number("no_repair", s.no_repair);
    text("modify_path", s.modify_path);
    text("Vendor", s.Vendor);
    text("readme", s.readme);
    number("Size", s.Size);
    number("system_component", s.system_component);
    text("UpdateLink", s.UpdateLink);
    text("DownloadPath", s.DownloadPath);
    text("Version", s.Version);
    text("creator", s.creator);
    text("OSCode", s.OSCode);
    number("version_info", s.version_info);
    number("version_major", s.version_major);
    number("version_minor", s.version_minor);
    number("windows_installer", s.windows_installer);
    number("Type", s.Type);
    number("WindowsVersion", s.WindowsVersion);
    number("Category", s.Category);
    text("special_code", s.special_code);
    for (const IFileInfoInc::_FileInfo& f : s.files) {
        d += "file SId=" + f.SId + " SetupPath=" + f.SetupPath + " LocalPath=" + f.LocalPath +
             " OriginalName=" + f.OriginalName + " ProductName=" + f.ProductName +
             " ProductVersion=" + f.ProductVersion + " file_version=" + f.file_version +
             " company_name=" + f.company_name + " copy_right=" + f.copy_right +
             " Name=" + f.Name + " Description=" + f.Description + " InsideName=" +
             f.InsideName + " language=" + f.language + " CreateDate=" + f.CreateDate +
             " ModifyDate=" + f.ModifyDate + " AccessDate=" + f.AccessDate +
             " CharacterCode=" + f.CharacterCode + " Component=" + std::to_string(f.Component) +
             " Type=" + std::to_string(f.Type) + " Category=" + std::to_string(f.Category) +
             " analyseFlag=" + std::to_string(f.analyseFlag) + " delFlag=" +
             std::to_string(f.delFlag) + " analyse_result=" + std::to_string(f.analyse_result) +
             " particularinfo=" + f.particularinfo + "\n";
    }
    for (const IDepInfoInc::_DepInfo& dep : s.dependences) {
        d += "dep Name=" + dep.Name + " SetupPath=" + dep.SetupPath + " LocalPath=" +
             dep.LocalPath + " special_code=" + dep.special_code +
             " delflag=" + std::to_string(dep.delflag) + "\n";
    }
    for (const IConfInfoInc::_ConfInfo& c : s.configs) {
        d += "cfg Source=" + c.Source + " Key=" + c.Key + " Value=" + c.Value +
             " Type=" + std::to_string(c.Type) + " Action=" + std::to_string(c.Action) +
             " delflag=" + std::to_string(c.delflag) + "\n";
    }
    for (const _PatchInfo& p : s.patchs) d += Describe(p);
    number("analyse_result", s.analyse_result);
    number("is_protected", s.is_protected);
    return d;
}

}  // namespace wi::fuzz
