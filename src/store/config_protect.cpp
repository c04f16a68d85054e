// The configuration document ("Configration" / "cfg"): a software's configuration entries,
// written for the protection to copy into the store.
#include <set>
#include <string>

#include "documents/xml_builder.h"
#include "inc/narrow_text.h"
#include "platform/xml_dom.h"
#include "store/store_lock.h"
#include "webinteractive/frame.h"
#include "webinteractive/status.h"
#include "webinteractive/store.h"

namespace IWebInteractive {

const char* ProtectConfig(const std::set<IConfInfoInc::_ConfInfo>& configs) {
    wi::store::StoreLock lock;
    // protecting configuration information
    static const std::string protectingText = wi::inc::NarrowFromUtf8("正在保护配置信息...%s");
    thread_local std::string path;  // valid until this thread's next call
    path = GetTempXmlFilePath("ConfigTemp");

    wi::xml::Document document;
    wi::xml::Element root;
    try {
        root = document.CreateRoot("Configration");
    } catch (const wi::xml::XmlError&) {
        return "";
    }
    for (const IConfInfoInc::_ConfInfo& config : configs) {
        IHelperInc::MakeStatus(protectingText.c_str(), config.Key.c_str());
        wi::xml::Element cfg = wi::documents::AppendEmpty(root, "cfg");
        wi::documents::AppendText(cfg, "Source", config.Source);
        wi::documents::AppendText(cfg, "Key", config.Key);
        wi::documents::AppendText(cfg, "Value", config.Value);
        wi::documents::AppendInt(cfg, "Type", config.Type);
        wi::documents::AppendFlag(cfg, "delflag", config.delflag);
        wi::documents::AppendInt(cfg, "Action", config.Action);
    }
    document.Save(path);  // a failed save raises xml::XmlError
    return path.c_str();
}

}  // namespace IWebInteractive
