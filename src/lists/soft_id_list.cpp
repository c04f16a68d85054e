// IWebInteractive::DownloadSoftList and ParseSoftIDList: the software ID list of the service
// read into the one shared set of _SoftID records.
#include "lists/soft_id_list.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <vector>

#include "frame/text.h"
#include "platform/xml_stream.h"
#include "lists/list_stream.h"
#include "lists/request.h"
#include "webinteractive/lists.h"

namespace wi::lists {

namespace {

using SoftIDs = std::set<ISoftInfoInc::_SoftID>;

// The one software ID set of the process. It is destroyed with the library, so that a host
// that unloads the library gets its memory back.
SoftIDs& SoftIDSet() {
    static SoftIDs ids;
    return ids;
}

// One record per "software" child of a "softwares" root (any letter case); its values come from
// the first "BaseInfo" child (exact name). A software without one still counts, as an empty
// record. Records that compare equal keep the first one.
class SoftIDReading : public xml::StreamVisitor {
public:
    xml::StreamStep Open(const xml::Element& element, int depth) override {
        using xml::StreamStep;
        switch (depth) {
            case 0:
                return element.NameIs("softwares") ? StreamStep::kEnter : StreamStep::kSkip;
            case 1:
                if (!element.NameIs("software")) return StreamStep::kSkip;
                if (!budget_.Take(1)) return StreamStep::kRefuse;
                id_ = ISoftInfoInc::_SoftID();
                seenBase_ = false;
                return StreamStep::kEnter;
            default:
                if (seenBase_ || element.Name() != "BaseInfo") return StreamStep::kSkip;
                seenBase_ = true;
                return StreamStep::kCollect;
        }
    }

    xml::StreamStep Collected(const xml::Element& base, int) override {
        if (const xml::Element guid = base.FirstChild("GUID")) id_.GUID = guid.Text();
        if (const xml::Element name = base.FirstChild("pn_name")) id_.pn_name = name.Text();
        return xml::StreamStep::kEnter;
    }

    xml::StreamStep Close(const xml::Element&, int depth) override {
        if (depth == 1) {
            order_.push_back({GuidPrefix(id_.GUID), records_.size()});
            records_.push_back(std::move(id_));
        }
        return xml::StreamStep::kEnter;
    }

    // Fills the empty set with the records read. They are put in order first and then each
    // appended at the set's end, which spares the search of the tree that an insertion in document
    // order makes (with many softwares it costs more than the parse). Records that compare equal
    // are equal in every member, so which of them stays does not matter.
    void Deliver(SoftIDs& ids) {
        std::sort(order_.begin(), order_.end(), [this](const SortKey& a, const SortKey& b) {
            if (a.prefix != b.prefix) return a.prefix < b.prefix;
            return records_[a.index] < records_[b.index];
        });
        // The records lie in document order, so each one taken is far from the last: its memory
        // is asked for a few records ahead.
        constexpr std::size_t kAhead = 4;
        const auto record = [this](std::size_t at) -> ISoftInfoInc::_SoftID& {
            return records_[order_[at].index];
        };
        for (std::size_t at = 0; at < order_.size(); ++at) {
            if (at + 2 * kAhead < order_.size()) __builtin_prefetch(&record(at + 2 * kAhead));
            if (at + kAhead < order_.size()) __builtin_prefetch(record(at + kAhead).GUID.data());
            ids.insert(ids.end(), std::move(record(at)));
        }
        records_.clear();
        order_.clear();
    }

private:
    // A record's place in the order: the first bytes of its GUID, as an unsigned number that
    // orders as the bytes do (a shorter GUID padded with zero bytes, so that a tie is decided by
    // the records themselves), and where it was read.
    struct SortKey {
        std::uint64_t prefix;
        std::size_t index;
    };
    static std::uint64_t GuidPrefix(const std::string& guid) {
        std::uint64_t prefix = 0;
        for (std::size_t i = 0; i < 8; ++i) {
            const auto byte = i < guid.size() ? static_cast<unsigned char>(guid[i]) : 0u;
            prefix = (prefix << 8) | byte;
        }
        return prefix;
    }

    RecordBudget budget_;
    ISoftInfoInc::_SoftID id_;
    bool seenBase_ = false;
    std::deque<ISoftInfoInc::_SoftID> records_;  // in document order; grows without moving them
    std::vector<SortKey> order_;                  // one for each record
};

// Empties the set and fills it from the document; a document that does not parse, or holds
// more softwares than a list reader builds, leaves it empty.
const SoftIDs& ReadSoftIDList(xml::StreamSource source, const std::string& input) {
    SoftIDs& ids = SoftIDSet();
    ids.clear();
    SoftIDReading reading;
    if (xml::Stream(source, input, reading) != xml::StreamResult::kRefused) reading.Deliver(ids);
    return ids;
}

}  // namespace

const SoftIDs& ParseSoftIDBytes(const std::string& bytes) {
    return ReadSoftIDList(xml::StreamSource::kBytes, bytes);
}

}  // namespace wi::lists

namespace IWebInteractive {

const std::set<ISoftInfoInc::_SoftID>& DownloadSoftList(const char* url) {
    auto& ids = wi::lists::SoftIDSet();
    ids.clear();
    try {
        std::string answer;
        if (wi::lists::RequestText(wi::frame::OrEmpty(url), answer, nullptr) == 1) {
            // The answer is bytes as the service sent them: a GB2312 list still reaches a host
            // whose narrow code page is UTF-8 with its names intact.
            return wi::lists::ParseSoftIDBytes(answer);
        }
    } catch (...) {
        // Nothing the request or the parse raises reaches the host: it gets the set as it stands.
    }
    return ids;
}

const std::set<ISoftInfoInc::_SoftID>& ParseSoftIDList(const char* text) {
    return wi::lists::ReadSoftIDList(wi::xml::StreamSource::kText, wi::frame::OrEmpty(text));
}

}  // namespace IWebInteractive
