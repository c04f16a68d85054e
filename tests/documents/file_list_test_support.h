// Records and element texts shared by the file list document tests.
#pragma once

#include <list>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/xml_dom.h"
#include "support/narrow_literal.h"
#include "webinteractive/records.h"

namespace wi::test {

// A record with every member set to a value of its own, one file, one dependence and one
// configuration entry. Texts carry Chinese (in the narrow code page) and control characters.
inline ISoftInfoInc::_SoftInfo FullRecord(const std::string& guid) {
    ISoftInfoInc::_SoftInfo soft;
    soft.GUID = guid;
    soft.product_id = "P-7";
    soft.authorized_prefix = "AP";
    soft.comments = "a\tb\r\n";
    soft.contact = "c";
    soft.Name = Narrow("中文软件");
    soft.OriginalVersion = "1.0.0";
    soft.pn_name = "pn";
    soft.pn_version = "pv";
    soft.estimated_size = -1;
    soft.HelpLink = "http://h/?a=1&b=<2>";
    soft.help_telephone = "123";
    soft.install_date = "2026-01-02";
    soft.SetupPath = "C:\\Program Files\\X";
    soft.SetupSourcePath = "D:\\src";
    soft.language = 2052;
    soft.no_modify = 1;
    soft.no_remove = 0;
    soft.no_repair = 1;
    soft.modify_path = "m";
    soft.Vendor = Narrow("厂商");
    soft.readme = "r";
    soft.Size = 5000000000LL;
    soft.system_component = 1;
    soft.UpdateLink = "u";
    soft.DownloadPath = "d";
    soft.Version = "2.0";
    soft.creator = "not-written";
    soft.OSCode = "not-written";
    soft.version_info = 3;
    soft.version_major = 4;
    soft.version_minor = 5;
    soft.windows_installer = 1;
    soft.Type = 9;
    soft.WindowsVersion = 2;
    soft.Category = 6;
    soft.special_code = "SC\n";
    soft.analyse_result = 1;
    soft.is_protected = 1;

    IFileInfoInc::_FileInfo file;
    file.SId = "F1";
    file.SetupPath = "C:\\X\\a.dll";
    file.LocalPath = "D:\\local\\a.dll";
    file.OriginalName = "orig.dll";
    file.ProductName = Narrow("产品");
    file.ProductVersion = "1.1";
    file.file_version = "1.1.0";
    file.company_name = Narrow("公司");
    file.copy_right = "(c)";
    file.Name = "a.dll";
    file.Description = "desc\n";
    file.InsideName = "inside";
    file.language = Narrow("中文(中国)");
    file.CreateDate = "cd";
    file.ModifyDate = "md";
    file.AccessDate = "ad";
    file.CharacterCode = "CC";
    file.Component = 3;
    file.Type = 2;
    file.Category = 1;
    file.analyseFlag = 1;
    file.delFlag = 0;
    file.analyse_result = 0x05;
    file.particularinfo = "p";
    soft.files.insert(file);

    IDepInfoInc::_DepInfo dependence;
    dependence.Name = "b.dll";
    dependence.SetupPath = "C:\\X\\b.dll";
    dependence.LocalPath = "D:\\local\\b.dll";
    dependence.special_code = "OWN";  // never written: a dependence carries its software's code
    dependence.delflag = true;
    soft.dependences.insert(dependence);

    IConfInfoInc::_ConfInfo config;
    config.Source = "HKLM\\Software\\X";
    config.Key = Narrow("键");
    config.Value = "v";
    config.Type = 1;
    config.Action = 2;
    config.delflag = false;
    soft.configs.insert(config);
    return soft;
}

// A record with the GUID and name only, and no files, dependences or configuration entries.
inline ISoftInfoInc::_SoftInfo BareRecord(const std::string& guid, const std::string& name = "") {
    ISoftInfoInc::_SoftInfo soft;
    soft.GUID = guid;
    soft.Name = name;
    return soft;
}

// A file that differs from others by its path and carries the analysis bits.
inline IFileInfoInc::_FileInfo AnalysedFile(const std::string& localPath, int analyseResult) {
    IFileInfoInc::_FileInfo file;
    file.SetupPath = "C:\\setup\\" + localPath;
    file.LocalPath = localPath;
    file.analyse_result = analyseResult;
    return file;
}

using NamedTexts = std::vector<std::pair<std::string, std::string>>;

// The element's children as name and text, in document order.
inline NamedTexts ChildTexts(const xml::Element& element) {
    NamedTexts children;
    for (const xml::Element& child : element.Children()) {
        children.emplace_back(child.Name(), child.Text());
    }
    return children;
}

}  // namespace wi::test
