// What the list readers share as they stream a document: the bound on what one answer builds,
// and the reading of a "Version" element into a record.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "platform/xml_stream.h"
#include "lists/file_list_tables.h"
#include "records/record_elements.h"
#include "webinteractive/records.h"

namespace wi::lists {

// What one answer may build, far beyond any list the service gives (a file list of 200 versions
// of 500 files, a catalogue of 200,000 softwares), so that the memory a list takes stays in
// proportion to it: a version record takes about 1.1 KiB, another record 150 to 700 bytes. An
// answer beyond either bound is refused as one that does not parse.
constexpr std::size_t kMaxListVersions = 100000;
constexpr std::size_t kMaxListRecords = wi::records::kMaxDocumentRecords;

class RecordBudget {
public:
    // Counts records; false once the answer has built more than kMaxListRecords.
    bool Take(std::size_t records) {
        records_ += records;
        return records_ <= kMaxListRecords;
    }
    // Counts one version record; false beyond either bound.
    bool TakeVersion() { return ++versions_ <= kMaxListVersions && Take(1); }

private:
    std::size_t records_ = 0;
    std::size_t versions_ = 0;
};

// What a list reads of a "Version" besides its first "VersionInfo".
struct VersionParts {
    bool items = false;        // the items of its first "FileList", "Dependence", "Configration"
    bool patchs = false;       // the "patch" items of its first "patchs"
    std::string patchStatus;   // the status line of a patch: a format with one %s, its "PNID"
    void* cancelEvent = nullptr;  // tested before every item: a signalled test ends that part
};

// The reading of "Version" elements as they stream past, each into its record. Levels count from
// the Version: its parts are at 1, their items at 2. Of the parts, "FileList" keeps its "file"
// items and "patchs" its "patch" items; "Dependence" and "Configration" keep every child.
class VersionReading {
public:
    using ReadInfo = std::function<void(const xml::Element& versionInfo,
                                        ISoftInfoInc::_SoftInfo& record)>;
    VersionReading(VersionParts parts, RecordBudget& budget, ReadInfo readInfo);

    // A Version begins; what follows goes into the record.
    void Begin(ISoftInfoInc::_SoftInfo& record);
    xml::StreamStep Open(const xml::Element& element, int level);
    xml::StreamStep Collected(const xml::Element& element, int level);
    void Close(int level);

private:
    enum class Part { kNone, kFiles, kDependences, kConfigs, kPatchs };
    // The part an element at level 1 begins, when it is the first of its kind the list reads.
    Part PartOf(const xml::Element& element);

    const VersionParts parts_;
    const ListStatusTexts status_;
    RecordBudget& budget_;
    const ReadInfo readInfo_;
    ISoftInfoInc::_SoftInfo* record_ = nullptr;
    bool seenInfo_ = false;
    bool seen_[5] = {};  // by Part
    Part part_ = Part::kNone;
    bool partCancelled_ = false;
};

// A list document as it streams: a "softwares" root (any letter case) whose children are
// softwares, and of each software read its "BaseInfo" and "Version" children (any letter case),
// each Version read by a VersionReading. A list says which softwares it reads, what comes before
// each of their children, where a Version goes and what it takes of "BaseInfo".
class SoftwareListReading : public xml::StreamVisitor {
public:
    SoftwareListReading(VersionParts parts, VersionReading::ReadInfo readInfo);

    xml::StreamStep Open(const xml::Element& element, int depth) final;
    xml::StreamStep Collected(const xml::Element& element, int depth) final;
    xml::StreamStep Close(const xml::Element& element, int depth) final;

protected:
    // A child of the root: whether it is a software the list reads.
    virtual bool OpenSoftware(const xml::Element& software) = 0;
    // Before each child of a software read: false ends the reading there.
    virtual bool BeforeChild() { return true; }
    // A "Version" begins: the record it is read into, or null to refuse the answer.
    virtual ISoftInfoInc::_SoftInfo* NewVersion() = 0;
    virtual void ReadBase(const xml::Element& baseInfo) = 0;

    RecordBudget budget_;

private:
    VersionReading version_;
};

}  // namespace wi::lists
