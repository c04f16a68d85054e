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
    AppendMembers(base, records::kBaseInfoElements, soft, records::kFileListDocument);
}

void AppendFile(xml::Element& fileList, const _FileInfo& file) {
    xml::Element item = fileList.AppendElement("file");
    AppendMembers(item, records::kFileElements, file, records::kFileListDocument);
}

// A dependence carries the special code of the software that owns it, not its own.
void AppendDependence(xml::Element& dependences, const _DepInfo& dependence,
                      const std::string& specialCode) {
    xml::Element item = dependences.AppendElement("dep");
    AppendEmpty(item, "SId");
    _DepInfo written = dependence;
    written.special_code = specialCode;
    AppendMembers(item, records::kDependenceElements, written, records::kFileListDocument);
}

void AppendConfig(xml::Element& configs, const _ConfInfo& config) {
    xml::Element item = configs.AppendElement("cfg");
    AppendEmpty(item, "CfgId");
    AppendMembers(item, records::kConfigElements, config, records::kFileListDocument);
}

// "Version" with "VersionInfo", then the three containers, each written even when empty.
void AppendVersion(xml::Element& software, const _SoftInfo& soft, FileListSteps& steps) {
    xml::Element version = software.AppendElement("Version");
    AppendVersionInfo(version, soft, records::kFileListDocument);
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

void AppendVersionInfo(xml::Element& version, const _SoftInfo& soft, records::Document document) {
    xml::Element info = version.AppendElement("VersionInfo");
    AppendMembers(info, records::kVersionInfoElements, soft, document);
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
