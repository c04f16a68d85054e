// IWebInteractive::DownloadSoftList and ParseSoftIDList: the software ID list of the service
// read into the one shared set of _SoftID records.
#include "service/soft_id_list.h"

#include "frame/text.h"
#include "platform/xml_dom.h"
#include "service/request.h"
#include "webinteractive/lists.h"

namespace wi::service {

namespace {

using SoftIDs = std::set<ISoftInfoInc::_SoftID>;

// The one software ID set of the process.
SoftIDs& SoftIDSet() {
    static SoftIDs ids;
    return ids;
}

// One record per "software" child of the root (any letter case); its values come from the
// first "BaseInfo" child (exact name). A software without one still counts, as an empty record.
// Records that compare equal keep the first one.
void ReadSoftwares(const xml::Document& document, SoftIDs& ids) {
    const xml::Element root = document.Root();
    if (!root.NameIs("softwares")) {
        return;
    }
    for (const xml::Element& software : root.Children()) {
        if (!software.NameIs("software")) {
            continue;
        }
        ISoftInfoInc::_SoftID id;
        if (const xml::Element base = software.FirstChild("BaseInfo")) {
            if (const xml::Element guid = base.FirstChild("GUID")) id.GUID = guid.Text();
            if (const xml::Element name = base.FirstChild("pn_name")) id.pn_name = name.Text();
        }
        ids.insert(std::move(id));
    }
}

}  // namespace

const SoftIDs& ParseSoftIDBytes(const std::string& bytes) {
    SoftIDs& ids = SoftIDSet();
    ids.clear();
    xml::Document document;
    if (document.ParseBytes(bytes)) {
        ReadSoftwares(document, ids);
    }
    return ids;
}

}  // namespace wi::service

namespace IWebInteractive {

const std::set<ISoftInfoInc::_SoftID>& DownloadSoftList(const char* url) {
    auto& ids = wi::service::SoftIDSet();
    ids.clear();
    try {
        std::string answer;
        if (wi::service::RequestText(wi::frame::OrEmpty(url), answer, nullptr) == 1) {
            // The answer is bytes as the service sent them: a GB2312 list still reaches a host
            // whose narrow code page is UTF-8 with its names intact.
            return wi::service::ParseSoftIDBytes(answer);
        }
    } catch (...) {
        // Nothing the request or the parse raises reaches the host: it gets the set as it stands.
    }
    return ids;
}

const std::set<ISoftInfoInc::_SoftID>& ParseSoftIDList(const char* text) {
    auto& ids = wi::service::SoftIDSet();
    ids.clear();
    wi::xml::Document document;
    if (document.ParseText(wi::frame::OrEmpty(text))) {
        wi::service::ReadSoftwares(document, ids);
    }
    return ids;
}

}  // namespace IWebInteractive
