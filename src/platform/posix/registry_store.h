// The posix registry store: a text file "<machine prefix>/system.reg" in the style of a .reg
// file, UTF-8, one line per entry:
//
//   ; a comment
//   [HKEY_LOCAL_MACHINE\Software\Vendor]          a key: every line below it, up to the next
//   "Install Dir"=type(1):"C:\\Program Files\\V"  key line, is one of its values
//   ""=type(4):"1"                                the key's default value (empty name)
//
// A value line is a quoted name, "=type(", the type in signed decimal, "):" and the quoted data.
// In quoted text a backslash is written "\\", a double quote "\"" and a byte below 0x20 or 0x7F
// as "\x" and two hexadecimal digits; nothing else may follow a backslash. A key line holds the
// key as it stands, which may therefore hold no control character. Lines end in LF; a CR
// before it is allowed.
//
// The store is also read when it was damaged or written by hand: every line that is not a key
// line or a well-formed value line under a key (comments, blanks, damage) is kept as it stands
// and is rewritten unchanged, so editing a value never loses another line of the file.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace wi::platform::posix {

// A larger store file is refused rather than read, and a change that would make the store larger
// is refused rather than written: the registry of a software-protection client holds a few
// thousand values at most, some hundred bytes each.
constexpr std::size_t kMaxRegistryStoreBytes = std::size_t{16} << 20;

// One value as the store holds it: texts in UTF-8 (or whatever bytes the file holds).
struct StoredValue {
    std::string key, name;
    int type = 0;
    std::string data;
};

class RegistryStore {
public:
    // Reads the file's text; any text is accepted (see above).
    explicit RegistryStore(const std::string& text = std::string());

    // Sets a value: the first line of that value (key and name without regard to ASCII letter
    // case) gets the new type and data and any further line of it goes; without one, the line is
    // added at the end of the key's first section, or in a new section at the end of the file.
    // False, changing nothing, for an empty key or one holding a control character.
    bool Set(const StoredValue& value);
    // Removes every line of the value; the key's section stays, as a registry key does.
    void Remove(const std::string& key, const std::string& name);
    // The values in file order; a value named again later in the file counts once, as first seen.
    std::vector<StoredValue> Values() const;
    // The file's text: the lines in order, each ending in LF.
    std::string Text() const;

private:
    struct Line {
        std::string raw;  // as it stands in the file, without its LF
        enum Kind { kOther, kKey, kValue } kind = kOther;
        StoredValue value;  // kKey: key (empty when unusable); kValue: all, with its key
    };
    static Line Classify(const std::string& raw, const std::string& currentKey, bool inSection);
    std::vector<Line> lines_;
};

// The lines of a value and of a key, as the store writes them.
std::string ValueLine(const StoredValue& value);
std::string KeyLine(const std::string& key);

}  // namespace wi::platform::posix
