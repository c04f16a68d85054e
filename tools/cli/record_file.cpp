#include "record_file.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <set>
#include <system_error>
#include <utility>

#include "platform/codepage.h"

namespace cli {
namespace {

using IConfInfoInc::_ConfInfo;
using IDepInfoInc::_DepInfo;
using IFileInfoInc::_FileInfo;
using ISoftInfoInc::_SoftInfo;
using wi::xml::Element;

template <typename Record>
struct TextField {
    const char* name;
    std::string Record::*member;
};
template <typename Record>
struct IntField {
    const char* name;
    int Record::*member;
};

const TextField<_SoftInfo> kBaseTexts[] = {
    {"GUID", &_SoftInfo::GUID},       {"Name", &_SoftInfo::Name},
    {"Vendor", &_SoftInfo::Vendor},   {"pn_name", &_SoftInfo::pn_name},
    {"pn_version", &_SoftInfo::pn_version},
};
const IntField<_SoftInfo> kBaseInts[] = {
    {"Type", &_SoftInfo::Type},
    {"is_protected", &_SoftInfo::is_protected},
};

// "GUID" and "Size" of "VersionInfo" are read apart from these.
const TextField<_SoftInfo> kVersionTexts[] = {
    {"Version", &_SoftInfo::Version},
    {"OriginalVersion", &_SoftInfo::OriginalVersion},
    {"SetupPath", &_SoftInfo::SetupPath},
    {"HelpLink", &_SoftInfo::HelpLink},
    {"UpdateLink", &_SoftInfo::UpdateLink},
    {"SetupSourcePath", &_SoftInfo::SetupSourcePath},
    {"DownloadPath", &_SoftInfo::DownloadPath},
    {"special_code", &_SoftInfo::special_code},
    {"authorized_prefix", &_SoftInfo::authorized_prefix},
    {"comments", &_SoftInfo::comments},
    {"contact", &_SoftInfo::contact},
    {"help_telephone", &_SoftInfo::help_telephone},
    {"install_date", &_SoftInfo::install_date},
    {"modify_path", &_SoftInfo::modify_path},
    {"readme", &_SoftInfo::readme},
    {"creator", &_SoftInfo::creator},
    {"OSCode", &_SoftInfo::OSCode},
    {"product_id", &_SoftInfo::product_id},
    {"pn_version", &_SoftInfo::pn_version},
};
const IntField<_SoftInfo> kVersionInts[] = {
    {"WindowsVersion", &_SoftInfo::WindowsVersion},
    {"Category", &_SoftInfo::Category},
    {"estimated_size", &_SoftInfo::estimated_size},
    {"language", &_SoftInfo::language},
    {"no_modify", &_SoftInfo::no_modify},
    {"no_remove", &_SoftInfo::no_remove},
    {"no_repair", &_SoftInfo::no_repair},
    {"system_component", &_SoftInfo::system_component},
    {"version_info", &_SoftInfo::version_info},
    {"version_major", &_SoftInfo::version_major},
    {"version_minor", &_SoftInfo::version_minor},
    {"windows_installer", &_SoftInfo::windows_installer},
    {"analyse_result", &_SoftInfo::analyse_result},
};

// "SId" (or "FID") and the two flags of "file" are read apart from these.
const TextField<_FileInfo> kFileTexts[] = {
    {"Name", &_FileInfo::Name},
    {"SetupPath", &_FileInfo::SetupPath},
    {"ProductName", &_FileInfo::ProductName},
    {"ProductVersion", &_FileInfo::ProductVersion},
    {"InsideName", &_FileInfo::InsideName},
    {"OriginalName", &_FileInfo::OriginalName},
    {"CreateDate", &_FileInfo::CreateDate},
    {"ModifyDate", &_FileInfo::ModifyDate},
    {"AccessDate", &_FileInfo::AccessDate},
    {"Description", &_FileInfo::Description},
    {"CharacterCode", &_FileInfo::CharacterCode},
    {"file_version", &_FileInfo::file_version},
    {"company_name", &_FileInfo::company_name},
    {"copy_right", &_FileInfo::copy_right},
    {"language", &_FileInfo::language},
    {"particularinfo", &_FileInfo::particularinfo},
};
const IntField<_FileInfo> kFileInts[] = {
    {"Type", &_FileInfo::Type},
    {"Category", &_FileInfo::Category},
    {"analyse_result", &_FileInfo::analyse_result},
    {"Component", &_FileInfo::Component},
};

const TextField<_DepInfo> kDepTexts[] = {
    {"Name", &_DepInfo::Name},
    {"SetupPath", &_DepInfo::SetupPath},
    {"special_code", &_DepInfo::special_code},
};

const TextField<_ConfInfo> kConfTexts[] = {
    {"Source", &_ConfInfo::Source},
    {"Key", &_ConfInfo::Key},
    {"Value", &_ConfInfo::Value},
};
const IntField<_ConfInfo> kConfInts[] = {
    {"Type", &_ConfInfo::Type},
    {"Action", &_ConfInfo::Action},
};

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

    template <typename Record, std::size_t N>
    void Texts(const TextField<Record> (&fields)[N], Record& record) {
        for (const TextField<Record>& field : fields) Text(field.name, record.*field.member);
    }
    template <typename Record, std::size_t N>
    bool Ints(const IntField<Record> (&fields)[N], Record& record) {
        for (const IntField<Record>& field : fields) {
            if (!Int(field.name, record.*field.member)) return false;
        }
        return true;
    }

    // True when the element is there; the text is left alone otherwise.
    bool Text(const char* name, std::string& value) {
        const Element element = container_.FirstChild(name);
        if (element) value = element.Text();
        return static_cast<bool>(element);
    }
    bool Int(const char* name, int& value) { return Number(name, value, "a 32-bit integer"); }
    bool Int64(const char* name, std::int64_t& value) {
        return Number(name, value, "a 64-bit integer");
    }
    // A flag is written as "1" or "0" (a boolean as "%d" of its value).
    bool Flag(const char* name, bool& value) {
        int number = value ? 1 : 0;
        if (!Number(name, number, "0 or 1")) return false;
        if (number != 0 && number != 1) return Fail(name, "0 or 1", std::to_string(number));
        value = number == 1;
        return true;
    }

private:
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

bool ReadFile(const Element& element, const std::string& where, _FileInfo& file,
              std::string& error) {
    ValueReader values(element, where, error);
    if (!values.Text("SId", file.SId)) values.Text("FID", file.SId);
    values.Texts(kFileTexts, file);
    bool analyseFlag = false;
    bool delFlag = false;
    if (!values.Ints(kFileInts, file) || !values.Flag("analyseFlag", analyseFlag) ||
        !values.Flag("delFlag", delFlag)) {
        return false;
    }
    file.analyseFlag = analyseFlag ? 1 : 0;
    file.delFlag = delFlag ? 1 : 0;
    return true;
}

bool ReadDep(const Element& element, const std::string& where, _DepInfo& dep,
             std::string& error) {
    ValueReader values(element, where, error);
    values.Texts(kDepTexts, dep);
    return values.Flag("delflag", dep.delflag);
}

bool ReadConf(const Element& element, const std::string& where, _ConfInfo& conf,
              std::string& error) {
    ValueReader values(element, where, error);
    values.Texts(kConfTexts, conf);
    return values.Ints(kConfInts, conf) && values.Flag("delflag", conf.delflag);
}

// Reads every item element of a container ("FileList" / "file", ...) into the record's set.
template <typename Item, typename ReadItem>
bool ReadItems(const Element& version, const char* containerName, const char* itemName,
               const std::string& where, std::set<Item>& items, ReadItem readItem,
               std::string& error) {
    const Element container = version.FirstChild(containerName);
    int number = 0;
    for (const Element& element : container.Children()) {
        if (element.Name() != itemName) continue;
        Item item;
        if (!readItem(element, where + ", " + itemName + " " + std::to_string(++number), item,
                      error)) {
            return false;
        }
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
    if (values.Text("GUID", guid) && !baseGuid) {
        soft.GUID = guid;
    } else if (!guid.empty() && guid != soft.GUID) {
        error = where + ": \"GUID\" " + Quoted(guid) + " differs from that of its base information " +
                Quoted(soft.GUID);
        return false;
    }
    values.Texts(kVersionTexts, soft);
    if (!values.Ints(kVersionInts, soft) || !values.Int64("Size", soft.Size)) return false;
    return ReadItems(version, "FileList", "file", where, soft.files, ReadFile, error) &&
           ReadItems(version, "Dependence", "dep", where, soft.dependences, ReadDep, error) &&
           ReadItems(version, "Configration", "cfg", where, soft.configs, ReadConf, error);
}

bool ReadSoftware(const Element& software, const std::string& where,
                  std::list<_SoftInfo>& softs, std::string& error) {
    Element base = software.FirstChild("BaseInfo");
    if (!base) base = software.FirstChild("Baseinfo");
    _SoftInfo first;
    ValueReader values(base, where, error);
    values.Texts(kBaseTexts, first);
    if (!values.Ints(kBaseInts, first)) return false;
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
