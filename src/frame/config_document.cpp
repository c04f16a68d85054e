// The host's configuration document: the five values Init takes from it.
#include "frame/config.h"
#include "frame/text.h"
#include "platform/xml_dom.h"

namespace wi::frame {
namespace {

// Reads the values from the document text into config; the result LoadConfiguration answers.
int ReadConfiguration(const char* configText, Configuration& config) {
    try {
        wi::xml::Document document;
        if (!document.ParseText(OrEmpty(configText))) return 0;
        wi::xml::Element root = document.Root();
        if (!root.NameIs("Logs")) return 1;

        // A missing key makes the result 0 but does not stop the reading of the others.
        int result = 1;
        for (const char* key : kConfigKeys) {
            wi::xml::Element element = root.FirstChild(key);
            if (element) {
                *ConfigValue(config, key) = element.Text();
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

int LoadConfiguration(const char* configText) {
    // The values are emptied, then those found are set, whatever the result.
    Configuration config;
    const int result = ReadConfiguration(configText, config);
    SetConfig(config);
    return result;
}

}  // namespace wi::frame
