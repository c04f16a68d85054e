#include "record_file.h"

#include <cerrno>
#include <charconv>
#include <cstddef>
#include <fstream>
#include <set>
#include <system_error>
#include <utility>

#include "platform/codepage.h"
#include "records/record_elements.h"

namespace cli {
namespace {

using ISoftInfoInc::_SoftInfo;
using wi::records::MemberElement;
using wi::records::ValueForm;
using wi::xml::Element;

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
               std::set<Item>& items, std::string& error) {
    const Element container = version.FirstChild(containerName);
    int number = 0;
    for (const Element& element : container.Children()) {
        if (element.Name() != itemName) continue;
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
                 _SoftInfo& soft, std::string& error) {
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
                     error) &&
           ReadItems(version, "Dependence", "dep", wi::records::kDependenceElements, where,
                     soft.dependences, error) &&
           ReadItems(version, "Configration", "cfg", wi::records::kConfigElements, where,
                     soft.configs, error);
}

bool ReadSoftware(const Element& software, const std::string& where,
                  std::list<_SoftInfo>& softs, std::string& error) {
    Element base = software.FirstChild("BaseInfo");
    if (!base) base = software.FirstChild("Baseinfo");
    _SoftInfo first;
    ValueReader values(base, where, error);
    if (!values.Members(wi::records::kBaseInfoElements, first)) return false;
    const bool baseGuid = static_cast<bool>(base.FirstChild("GUID"));

    int number = 0;
    for (const Element& version : software.Children()) {
        if (version.Name() != "Version") continue;
        _SoftInfo soft = first;
        if (!ReadVersion(version, where + ", version " + std::to_string(++number), baseGuid, soft,
                         error)) {
            return false;
        }
        softs.push_back(std::move(soft));
    }
    if (number == 0) softs.push_back(std::move(first));
    return true;
}

}  // namespace

std::string SystemReason() {
    return errno != 0 ? ": " + std::generic_category().message(errno) : std::string();
}

bool ParseDocumentBytes(const std::string& bytes, wi::xml::Document& document,
                        std::string& error) {
    std::string narrow;
    std::string encoding;
    if (!wi::xml::DecodeFileText(bytes, narrow, encoding)) {
        // The encoding's name comes from the document: quoted, so it cannot break the line.
        error = "the document is not valid " + Quoted(encoding) + " or holds characters that " +
                wi::platform::NarrowCodeset() + " cannot";
        return false;
    }
    if (narrow.size() > wi::xml::kMaxTextBytes) {
        error = "the document is larger than " +
                std::to_string(wi::xml::kMaxTextBytes >> 20) + " MiB";
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

bool LoadDocumentFile(const std::string& hostPath, wi::xml::Document& document,
                      std::string& error) {
    errno = 0;
    std::ifstream in(hostPath, std::ios::binary);
    if (!in) {
        error = "cannot open " + hostPath + SystemReason();
        return false;
    }
    std::string bytes;
    char block[16384];
    while (in.read(block, sizeof block) || in.gcount() > 0) {
        bytes.append(block, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > wi::xml::kMaxTextBytes) {
            error = hostPath + " is larger than " +
                    std::to_string(wi::xml::kMaxTextBytes >> 20) + " MiB";
            return false;
        }
    }
    if (in.bad()) {
        error = "cannot read " + hostPath + SystemReason();
        return false;
    }
    if (!ParseDocumentBytes(bytes, document, error)) {
        error = hostPath + ": " + error;
        return false;
    }
    return true;
}

bool ReadSoftInfos(const wi::xml::Document& document, std::list<_SoftInfo>& softs,
                   std::string& error) {
    const Element root = document.Root();
    if (root.Name() != "softwares") {
        error = "the root element is " + Quoted(root.Name()) + ", not \"softwares\"";
        return false;
    }
    std::list<_SoftInfo> read;
    int number = 0;
    for (const Element& software : root.Children()) {
        if (software.Name() != "software") continue;
        if (!ReadSoftware(software, "software " + std::to_string(++number), read, error)) {
            return false;
        }
    }
    softs.splice(softs.end(), read);
    return true;
}

bool ReadSoftInfoFile(const std::string& hostPath, std::list<_SoftInfo>& softs,
                      std::string& error) {
    wi::xml::Document document;
    if (!LoadDocumentFile(hostPath, document, error)) return false;
    if (!ReadSoftInfos(document, softs, error)) {
        error = hostPath + ": " + error;
        return false;
    }
    return true;
}

}  // namespace cli
