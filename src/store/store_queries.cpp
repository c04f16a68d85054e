// The exported queries of the store: where a software's protect document lies, and what it
// records (install path, version, the store path of one source file).
#include <string>

#include "frame/text.h"
#include "inc/narrow_text.h"
#include "lists/file_list_tables.h"
#include "store/protect_document.h"
#include "store/protected_table.h"
#include "store/store_layout.h"
#include "store/store_lock.h"
#include "webinteractive/status.h"
#include "webinteractive/store.h"

namespace {

// The protect document the table names for the GUID: false for a GUID that cannot name a
// store directory, one the table does not hold, or an empty path.
bool ProtectXmlOf(const std::string& guid, std::string& path) {
    return wi::store::IsStoreName(guid) && wi::store::FindProtectXml(guid, path) && !path.empty();
}

}  // namespace

namespace IWebInteractive {

const char* GetProtectXmlPath(const char* guid) {
    thread_local std::string result;
    wi::store::StoreLock lock;
    std::string path;
    ProtectXmlOf(wi::frame::OrEmpty(guid), path);
    return wi::frame::Refill(result, path);
}

const char* GetProtectedInstallPath(const char* guid) {
    thread_local std::string result;
    result.clear();
    const std::string software = wi::frame::OrEmpty(guid);
    const std::string line = wi::inc::NarrowFromUtf8("正在获取软件的保护路径...%s");
    IHelperInc::MakeStatus(line.c_str(), software.c_str());  // getting the protection path

    wi::store::StoreLock lock;
    std::string path;
    if (!ProtectXmlOf(software, path)) return result.c_str();
    wi::store::ReadProtectDocument(path, [](const wi::xml::Element& root) {
        const wi::xml::Element installPath = root.FirstChild("InstallPath");
        if (installPath) wi::frame::Refill(result, installPath.Text());
        return bool(installPath);
    });
    return result.c_str();
}

int GetProtectedVersion(const char* guid) {
    const std::string software = wi::frame::OrEmpty(guid);
    const std::string line = wi::inc::NarrowFromUtf8("获取软件的保护版本...%s");
    IHelperInc::MakeStatus(line.c_str(), software.c_str());  // getting the protection version

    wi::store::StoreLock lock;
    std::string path;
    if (!ProtectXmlOf(software, path)) return -1;
    int version = -1;
    wi::store::ReadProtectDocument(path, [&version](const wi::xml::Element& root) {
        const wi::xml::Element element = root.FirstChild("Version");
        if (element) version = wi::lists::ReadInt(element.Text());  // as atoi reads it
        return bool(element);
    });
    return version;
}

const char* GetFileProtectPath(const char* protectXmlPath, const char* sourcePath) {
    thread_local std::string result;
    result.clear();
    const std::string source = wi::frame::OrEmpty(sourcePath);
    std::string found;
    wi::store::ReadProtectDocument(
        wi::frame::OrEmpty(protectXmlPath), [&](const wi::xml::Element& root) {
            // Every matching item is visited: the last one wins.
            for (const wi::xml::Element& file : root.FirstChild("FileList").Children()) {
                if (!file.NameIs("file") || file.FirstChild("SourcePath").Text() != source) {
                    continue;
                }
                const wi::xml::Element protectPath = file.FirstChild("ProtectPath");
                if (protectPath) found = protectPath.Text();
            }
            return true;
        });
    return wi::frame::Refill(result, found);
}

}  // namespace IWebInteractive
