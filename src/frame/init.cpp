// IWebInteractive::Init: the fixed-drive list, the protected-software table and the five
// configuration values from the host's configuration document.
#include <mutex>

#include "frame/config.h"
#include "frame/drives.h"
#include "frame/protected_table.h"
#include "frame/text.h"
#include "platform/xml_dom.h"
#include "webinteractive/frame.h"

namespace {

// Reads the five values from the document text into config; the result Init returns.
int ReadConfiguration(const char* configText, wi::frame::Configuration& config) {
    try {
        wi::xml::Document document;
        if (!document.ParseText(wi::frame::OrEmpty(configText))) return 0;
        wi::xml::Element root = document.Root();
        if (!root.NameIs("Logs")) return 1;

        // A missing key makes the result 0 but does not stop the reading of the others.
        int result = 1;
        for (const char* key : wi::frame::kConfigKeys) {
            wi::xml::Element element = root.FirstChild(key);
            if (element) {
                *wi::frame::ConfigValue(config, key) = element.Text();
            } else {
                result = 0;
            }
        }
        return result;
    } catch (const wi::xml::XmlError&) {
        return 0;  // the document could not be made
    }
}

}  // namespace

namespace IWebInteractive {

int Init(const char* configText) {
    // Hosts call Init once, first; two at once still run one after the other, so the tables and
    // values always come from one whole call.
    static std::mutex initMutex;
    std::lock_guard<std::mutex> lock(initMutex);

    wi::frame::RebuildFixedDrives();
    wi::frame::LoadProtectedSoftwareTable();

    // The values are emptied, then those found are set, whatever the result.
    wi::frame::Configuration config;
    const int result = ReadConfiguration(configText, config);
    wi::frame::SetConfig(config);
    return result;
}

}  // namespace IWebInteractive
