// The restore of a software's configuration entries: its stored configuration document is read
// through the scratch copy "C:\Config.xml" and every "cfg" entry is handed to the repair
// library, with a report line per entry in the caller's log entry.
#include <string>

#include "inc/narrow_text.h"
#include "log/log_access.h"
#include "platform/xml_dom.h"
#include "lists/file_list_tables.h"
#include "store/scratch_document.h"
#include "store/store_lock.h"
#include "webinteractive/FileOperator.h"
#include "webinteractive/repair.h"
#include "webinteractive/status.h"
#include "webinteractive/store.h"

namespace {

struct ReportWords {
    std::string success, failure;
};

// The words of the report lines, by the log's operation type ("" for any other type).
ReportWords WordsForRunType(const std::string& type) {
    if (type == "repair") {
        // repair succeeded, repair failed
        return {wi::inc::NarrowFromUtf8("修复成功"), wi::inc::NarrowFromUtf8("修复失败")};
    }
    if (type == "restore") {
        // restore succeeded, restore failed
        return {wi::inc::NarrowFromUtf8("恢复成功"), wi::inc::NarrowFromUtf8("恢复失败")};
    }
    return {};
}

// The text of the first child element of this exact name; `fallback` when there is none.
std::string ChildText(const wi::xml::Element& parent, const char* name, const std::string& fallback) {
    const wi::xml::Element child = parent.FirstChild(name);
    return child ? child.Text() : fallback;
}

}  // namespace

namespace IWebInteractive {

int RestoreConfig(const ISoftInfoInc::_SoftInfo& soft, LogInfo& entry) {
    wi::store::StoreLock lock;
    const std::string protectXml = GetProtectXmlPath(soft.GUID.c_str());
    if (protectXml.empty()) {
        return 0;
    }
    const std::string stored = GetFileProtectPath(protectXml.c_str(), wi::store::kConfigScratch);
    if (stored.empty() || !CXFileOperator::PathExists(stored)) {
        return 0;
    }
    // The scratch copy goes when this returns, whichever way.
    wi::store::ScratchCopy scratch(wi::store::kConfigScratch);
    scratch.CopyFrom(stored);  // a failed copy raises CXException

    int result = 1;
    const ReportWords words = WordsForRunType(wi::log::LogAccess::RunType());
    const int total = static_cast<int>(soft.files.size() + soft.dependences.size() +
                                       soft.configs.size());
    int counter = 1;
    if (CXFileOperator::PathExists(scratch.Path())) {
        // parsing file; restoring registry entry; configuration entry
        static const std::string parsingText = wi::inc::NarrowFromUtf8("正在解析文件%s...");
        static const std::string restoringText =
            wi::inc::NarrowFromUtf8("正在恢复注册表项:%s...%d of %d");
        static const std::string entryText = wi::inc::NarrowFromUtf8("配置项");
        IHelperInc::MakeStatus(parsingText.c_str(), scratch.Path().c_str());
        wi::xml::Document document;
        if (!scratch.Parse(document)) {
            result = 0;
        } else if (const wi::xml::Element root = document.Root(); root.NameIs("Configration")) {
            // Every child node counts, elements or not, as the entries' progress runs over them.
            for (const wi::xml::Element& node : root.ChildNodes()) {
                if (node && node.NameIs("cfg")) {
                    IConfInfoInc::_ConfInfo config;
                    config.Source = ChildText(node, "Source", config.Source);
                    config.Key = ChildText(node, "Key", config.Key);
                    config.Value = ChildText(node, "Value", config.Value);
                    if (const wi::xml::Element type = node.FirstChild("Type")) {
                        config.Type = wi::lists::ReadInt(type.Text());
                    }
                    IHelperInc::MakeStatus(restoringText.c_str(), config.Key.c_str(), counter,
                                           total);
                    const bool installed = ISoftRepairInc::InstallConf(config);
                    entry.details.push_back(entryText + config.Key + " " +
                                            (installed ? words.success : words.failure));
                    if (!installed) {
                        result = 0;
                    }
                }
                ++counter;
            }
        }
    }
    return result;
}

}  // namespace IWebInteractive
