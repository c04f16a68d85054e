// The host extra that reads software records back from the documents the library writes: the
// file list document, the upload file list, the install info document and the software list.
// The tree of each is the same; the values under each part are the members of
// records/record_elements.h, whichever document holds them:
//
//   softwares / software / BaseInfo (or Baseinfo)  GUID Type Name Vendor is_protected pn_name
//                        / Version / VersionInfo   GUID Version ... Size ... pn_version
//                                  / FileList / file     SId (or FID) Name SetupPath ...
//                                  / Dependence / dep    Name SetupPath delflag special_code
//                                  / Configration / cfg  Source Key Value Type delflag Action
#include <charconv>
#include <cstddef>
#include <list>
#include <set>
#include <string>
#include <system_error>
#include <utility>

#include "platform/codepage.h"
#include "platform/xml_dom.h"
#include "records/record_elements.h"
#include "webinteractive/host.h"

namespace {

using ISoftInfoInc::_SoftInfo;
using wi::records::MemberElement;
using wi::records::ValueForm;
using wi::xml::Element;

// What one document may build. A version copies the base information of its software, so the
// records can outgrow the document: a software with a long base text and many empty "Version"
// elements. Both bounds are far beyond any document the library writes (a file list of 100,000
// files, its base information a few hundred bytes a version).
constexpr std::size_t kMaxRecords = 250000;  // versions and their items
constexpr std::size_t kMaxCopiedBaseBytes = std::size_t{128} << 20;

// A document's text quoted in a message of one line: control characters become '?', and a long
// text is cut after a whole character.
std::string Quoted(const std::string& text) {
    constexpr std::size_t kMost = 60;
    std::size_t length = 0;
    while (length < text.size() && length < kMost) {
        length += wi::platform::NarrowCharLength(text, length);
    }
    std::string quoted = "\"" + text.substr(0, length);
    for (char& c : quoted) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    }
    return quoted + (length < text.size() ? "...\"" : "\"");
}

// Counts what the reading builds, and refuses once a bound is passed.
class Budget {
public:
    explicit Budget(std::string& error) : error_(error) {}

    bool TakeRecord() {
        if (++records_ <= kMaxRecords) return true;
        error_ = "the document holds more than " + std::to_string(kMaxRecords) + " records";
        return false;
    }
    bool TakeCopy(std::size_t bytes) {
        copied_ += bytes;
        if (copied_ <= kMaxCopiedBaseBytes) return true;
        error_ = "the document's versions copy more than " +
                 std::to_string(kMaxCopiedBaseBytes >> 20) + " MiB of base information";
        return false;
    }

private:
    std::string& error_;
    std::size_t records_ = 0;
    std::size_t copied_ = 0;
};

// Reads the values of one container element into a record, and says where a value went wrong.
class ValueReader {
public:
    ValueReader(const Element& container, std::string where, std::string& error)
        : container_(container), where_(std::move(where)), error_(error) {}

    // Every member of the table, whichever documents hold it; false at the first value that
    // cannot be read.
    template <typename Record, std::size_t N>
    bool Members(const MemberElement<Record> (&members)[N], Record& record) {
        for (const MemberElement<Record>& member : members) {
            if (!Member(member, record)) return false;
        }
        return true;
    }

    // True when the element is there; the text is left alone otherwise.
    bool Text(const char* name, std::string& value) {
        const Element element = container_.FirstChild(name);
        if (element) value = element.Text();
        return static_cast<bool>(element);
    }

private:
    template <typename Record>
    bool Member(const MemberElement<Record>& member, Record& record) {
        switch (member.form) {
            case ValueForm::kText:
                Text(member.name, record.*member.text);
                return true;
            case ValueForm::kInt:
                return Number(member.name, record.*member.number, "a 32-bit integer");
            case ValueForm::kInt64:
                return Number(member.name, record.*member.wide, "a 64-bit integer");
            case ValueForm::kBoolean:
                return Flag(member.name, record.*member.boolean);
            case ValueForm::kFlag: {
                bool on = member.getFlag(record);
                if (!Flag(member.name, on)) return false;
                member.setFlag(record, on);
                return true;
            }
        }
        return true;
    }

    // A flag is written as "1" or "0" (a boolean as "%d" of its value).
    bool Flag(const char* name, bool& value) {
        int number = value ? 1 : 0;
        if (!Number(name, number, "0 or 1")) return false;
        if (number != 0 && number != 1) return Fail(name, "0 or 1", std::to_string(number));
        value = number == 1;
        return true;
    }

    // A missing element, or one with no text but blanks, leaves the value as it was. Blanks
    // around the digits are allowed, so an indented document reads as well.
    template <typename Integer>
    bool Number(const char* name, Integer& value, const char* what) {
        std::string text;
        if (!Text(name, text)) return true;
        const std::size_t first = text.find_first_not_of(" \t\r\n");
        if (first == std::string::npos) return true;
        const std::size_t last = text.find_last_not_of(" \t\r\n");
        const char* begin = text.data() + first;
        const char* end = text.data() + last + 1;
        Integer parsed = 0;
        const std::from_chars_result result = std::from_chars(begin, end, parsed);
        if (result.ec != std::errc() || result.ptr != end) return Fail(name, what, text);
        value = parsed;
        return true;
    }
    bool Fail(const char* name, const char* what, const std::string& text) {
        error_ = where_ + ": \"" + name + "\" is not " + what + ": " + Quoted(text);
        return false;
    }

    Element container_;
    std::string where_;
    std::string& error_;
};

// Reads every item element of a container ("FileList" / "file", ...) into the record's set.
template <typename Item, std::size_t N>
bool ReadItems(const Element& version, const char* containerName, const char* itemName,
               const MemberElement<Item> (&members)[N], const std::string& where,
               std::set<Item>& items, Budget& budget, std::string& error) {
    const Element container = version.FirstChild(containerName);
    int number = 0;
    for (const Element& element : container.Children()) {
        if (element.Name() != itemName) continue;
        if (!budget.TakeRecord()) return false;
        Item item;
        ValueReader values(element, where + ", " + itemName + " " + std::to_string(++number),
                           error);
        if (!values.Members(members, item)) return false;
        items.insert(std::move(item));
    }
    return true;
}

// `baseGuid`: the base information carries a "GUID", which the version's must then match.
bool ReadVersion(const Element& version, const std::string& where, bool baseGuid,
                 _SoftInfo& soft, Budget& budget, std::string& error) {
    const Element info = version.FirstChild("VersionInfo");
    ValueReader values(info, where, error);
    std::string guid;
    values.Text("GUID", guid);
    if (baseGuid && !guid.empty() && guid != soft.GUID) {
        error = where + ": \"GUID\" " + Quoted(guid) + " differs from that of its base information " +
                Quoted(soft.GUID);
        return false;
    }
    const std::string softwareGuid = soft.GUID;
    if (!values.Members(wi::records::kVersionInfoElements, soft)) return false;
    // Under a base "GUID" the version's is the same or empty: the record keeps the base's.
    if (baseGuid) soft.GUID = softwareGuid;
    return ReadItems(version, "FileList", "file", wi::records::kFileElements, where, soft.files,
                     budget, error) &&
           ReadItems(version, "Dependence", "dep", wi::records::kDependenceElements, where,
                     soft.dependences, budget, error) &&
           ReadItems(version, "Configration", "cfg", wi::records::kConfigElements, where,
                     soft.configs, budget, error);
}

// The bytes of the base information's texts, which every version of the software copies.
std::size_t BaseTextBytes(const _SoftInfo& base) {
    std::size_t bytes = 0;
    for (const MemberElement<_SoftInfo>& member : wi::records::kBaseInfoElements) {
        if (member.form == ValueForm::kText) bytes += (base.*member.text).size();
    }
    return bytes;
}

bool ReadSoftware(const Element& software, const std::string& where,
                  std::list<_SoftInfo>& softs, Budget& budget, std::string& error) {
    Element base = software.FirstChild("BaseInfo");
    if (!base) base = software.FirstChild("Baseinfo");
    _SoftInfo first;
    ValueReader values(base, where, error);
    if (!values.Members(wi::records::kBaseInfoElements, first)) return false;
    const bool baseGuid = static_cast<bool>(base.FirstChild("GUID"));
    const std::size_t baseBytes = BaseTextBytes(first);

    int number = 0;
    for (const Element& version : software.Children()) {
        if (version.Name() != "Version") continue;
        if (!budget.TakeRecord() || !budget.TakeCopy(baseBytes)) return false;
        _SoftInfo soft = first;
        if (!ReadVersion(version, where + ", version " + std::to_string(++number), baseGuid, soft,
                         budget, error)) {
            return false;
        }
        softs.push_back(std::move(soft));
    }
    if (number == 0) {
        if (!budget.TakeRecord()) return false;
        softs.push_back(std::move(first));
    }
    return true;
}

// Decodes and parses the bytes; false with the reason when they are no document it reads.
bool Parse(const char* bytes, std::size_t size, wi::xml::Document& document,
           std::string& error) {
    const std::string tooLarge = "the document is larger than " +
                                 std::to_string(wi::xml::kMaxTextBytes >> 20) + " MiB";
    if (size > wi::xml::kMaxTextBytes) {
        error = tooLarge;
        return false;
    }
    std::string narrow;
    std::string encoding;
    if (!wi::xml::DecodeFileText(std::string(bytes, size), narrow, encoding)) {
        // The encoding's name comes from the document: quoted, so it cannot break the line.
        error = "the document is not valid " + Quoted(encoding) + " or holds characters that " +
                wi::platform::NarrowCodeset() + " cannot";
        return false;
    }
    if (narrow.size() > wi::xml::kMaxTextBytes) {
        error = tooLarge;
        return false;
    }
    if (!document.ParseText(narrow)) {
        error = "the document is not well-formed XML, declares entities or nests too deep";
        const wi::xml::ParseErrorPosition where = wi::xml::LastParseErrorPosition();
        if (where.line > 0) {
            error += " (the first error at line " + std::to_string(where.line) + ", column " +
                     std::to_string(where.column) + ")";
        }
        return false;
    }
    return true;
}

// The records of a parsed document, in document order; false with the reason.
bool ReadSoftwares(const wi::xml::Document& document, std::list<_SoftInfo>& softs,
                   std::string& error) {
    const Element root = document.Root();
    if (root.Name() != "softwares") {
        error = "the root element is " + Quoted(root.Name()) + ", not \"softwares\"";
        return false;
    }
    Budget budget(error);
    int number = 0;
    for (const Element& software : root.Children()) {
        if (software.Name() != "software") continue;
        if (!ReadSoftware(software, "software " + std::to_string(++number), softs, budget,
                          error)) {
            return false;
        }
    }
    return true;
}

}  // namespace

namespace IHostInc {

std::size_t GetMaxDocumentBytes() { return wi::xml::kMaxTextBytes; }

int ReadRecordDocument(const char* bytes, std::size_t size,
                       std::list<ISoftInfoInc::_SoftInfo>& softs, const char** error) {
    thread_local std::string reason;
    reason.clear();
    if (error != nullptr) *error = reason.c_str();
    wi::xml::Document document;
    std::list<_SoftInfo> read;
    int outcome = 1;
    if (bytes == nullptr && size != 0) {
        reason = "the document's bytes are missing";
        outcome = 0;
    } else if (!Parse(bytes != nullptr ? bytes : "", size, document, reason)) {
        outcome = 0;
    } else if (!ReadSoftwares(document, read, reason)) {
        outcome = -1;
    } else {
        softs.splice(softs.end(), read);
    }
    if (error != nullptr) *error = reason.c_str();
    return outcome;
}

}  // namespace IHostInc
