// The install info document: how one version of one software is installed, with who created the
// description. Saved to a temporary file, or posted to the service with its reply handed back.
#include <string>

#include "documents/file_list_tree.h"
#include "documents/xml_builder.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/documents.h"
#include "webinteractive/frame.h"
#include "webinteractive/transfer.h"

namespace {

using ISoftInfoInc::_SoftInfo;
using wi::documents::AppendInt;
using wi::documents::AppendInt64;
using wi::documents::AppendText;

// The version information of the file list, with "creator" where that one has "analyse_result".
void AppendVersionInfo(wi::xml::Element& version, const _SoftInfo& soft) {
    wi::xml::Element info = version.AppendElement("VersionInfo");
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
    AppendText(info, "creator", soft.creator);
    AppendText(info, "product_id", soft.product_id);
    AppendText(info, "pn_version", soft.pn_version);
}

}  // namespace

namespace IWebInteractive {

const char* SaveInstallInfoXml(const _SoftInfo& soft) {
    // The path stays in GetTempXmlFilePath's buffer, which nothing below calls again.
    const char* path = GetTempXmlFilePath("UpInstallInfoTemp");
    wi::xml::Document document;
    wi::xml::Element root;
    if (!wi::documents::StartSoftwaresDocument(document, root)) {
        return "";
    }
    // One "software", whatever member sets the record holds: they are not part of it.
    wi::xml::Element software = root.AppendElement("software");
    wi::xml::Element base = software.AppendElement("BaseInfo");
    AppendText(base, "GUID", soft.GUID);
    AppendText(base, "Name", soft.Name);
    wi::xml::Element version = software.AppendElement("Version");
    AppendVersionInfo(version, soft);
    document.Save(path);
    return path;
}

const char* UploadFileInfo(const char* url, const _SoftInfo& soft) {
    thread_local std::string result;  // valid until this thread's next call
    const std::string path = SaveInstallInfoXml(soft);
    char reply[1024] = "";
    if (UploadFile(url, path.c_str(), reply, nullptr, nullptr) == 0) {
        reply[0] = '\0';
    }
    try {
        CXFileOperator::DeleteFile(path);
    } catch (const CXException&) {
        // A temporary file left behind does not change the reply.
    }
    result = reply;
    return result.c_str();
}

}  // namespace IWebInteractive
