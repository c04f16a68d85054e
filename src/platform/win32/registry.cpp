// The registry of a Windows machine: the real registry, reached through the wide calls. A key path
// begins with the name of a root key ("HKEY_LOCAL_MACHINE\Software\Vendor", or the short form
// "HKLM\Software\Vendor"); the rest is the subkey. The data text becomes the value's data by its
// type:
//   1, 2, 6 (string, expandable string, link)  the text, as a terminated wide string
//   7 (multi-string)                           one string per line of the text (LF separates;
//                                              an empty line is left out, as the list ends at
//                                              its first empty string)
//   4, 5, 11 (number, big-endian number, 64-bit number)
//                                              decimal, or hexadecimal after "0x"; a 32-bit
//                                              number may be negative (its two's complement)
//   3 (binary)                                 hexadecimal bytes, optionally separated by
//                                              blanks or commas ("01 a0,ff")
//   any other type                             the text, as a terminated wide string
// A data text that its type cannot take is refused, changing nothing.
#include "platform/win32/windows_api.h"

#include <cstdint>

#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/win32/codepage_wide.h"

namespace wi::platform {

namespace {

bool EqualsIgnoringCase(const std::string& text, const char* name) {
    std::size_t at = 0;
    for (; at < text.size() && name[at] != '\0'; ++at) {
        char c = text[at];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != name[at]) return false;
    }
    return at == text.size() && name[at] == '\0';
}

// The root key the path begins with and the subkey after it; false for an unknown root.
bool SplitKey(const std::string& key, HKEY& root, std::string& subkey) {
    const std::size_t slash = key.find('\\');
    const std::string rootName = key.substr(0, slash);
    subkey = slash == std::string::npos ? std::string() : key.substr(slash + 1);
    struct Root {
        const char* longName;
        const char* shortName;
        HKEY key;
    };
    static const Root kRoots[] = {
        {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE},
        {"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
        {"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT},
        {"HKEY_USERS", "HKU", HKEY_USERS},
        {"HKEY_CURRENT_CONFIG", "HKCC", HKEY_CURRENT_CONFIG},
    };
    for (const Root& candidate : kRoots) {
        if (EqualsIgnoringCase(rootName, candidate.longName) ||
            EqualsIgnoringCase(rootName, candidate.shortName)) {
            root = candidate.key;
            return true;
        }
    }
    return false;
}

bool HoldsControlCharacter(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    }
    return false;
}

// The text as a number: decimal (a leading '-' where `allowNegative`), or hexadecimal after
// "0x"; false when it is not one or does not fit in `bits` bits.
bool ParseNumber(const std::string& text, int bits, bool allowNegative, std::uint64_t& number) {
    std::size_t at = 0;
    const bool negative = allowNegative && !text.empty() && text[0] == '-';
    if (negative) at = 1;
    const bool hex = !negative && text.size() > 2 && text[0] == '0' &&
                     (text[1] == 'x' || text[1] == 'X');
    if (hex) at = 2;
    if (at >= text.size()) return false;
    const std::uint64_t limit = bits == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1;
    const std::uint64_t base = hex ? 16 : 10;
    number = 0;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        std::uint64_t digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<std::uint64_t>(c - '0');
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = static_cast<std::uint64_t>(c - 'a' + 10);
        } else if (hex && c >= 'A' && c <= 'F') {
            digit = static_cast<std::uint64_t>(c - 'A' + 10);
        } else {
            return false;
        }
        if (number > (limit - digit) / base) return false;
        number = number * base + digit;
    }
    if (negative) {
        if (number > (limit >> 1) + 1) return false;  // below the smallest signed value
        number = (~number + 1) & limit;
    }
    return true;
}

// "01 a0,ff" as its bytes; false on anything else.
bool ParseHexBytes(const std::string& text, std::string& bytes) {
    bytes.clear();
    int high = -1;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) {
            if ((c != ' ' && c != ',' && c != '\t') || high >= 0) return false;
            continue;
        }
        if (high < 0) {
            high = digit;
        } else {
            bytes += static_cast<char>(high * 16 + digit);
            high = -1;
        }
    }
    return high < 0;
}

void AppendWide(const std::wstring& wide, std::string& bytes) {
    bytes.append(reinterpret_cast<const char*>(wide.c_str()), (wide.size() + 1) * sizeof(wchar_t));
}

// The value's data in the form the registry keeps for its type (see above).
bool EncodeData(int type, const std::string& text, std::string& bytes) {
    bytes.clear();
    std::uint64_t number = 0;
    switch (type) {
        case REG_DWORD:
        case REG_DWORD_BIG_ENDIAN:
        case REG_QWORD: {
            const int bits = type == REG_QWORD ? 64 : 32;
            if (!ParseNumber(text, bits, bits == 32, number)) return false;
            for (int shift = 0; shift < bits; shift += 8) {
                const int at = type == REG_DWORD_BIG_ENDIAN ? bits - 8 - shift : shift;
                bytes += static_cast<char>((number >> at) & 0xFF);
            }
            return true;
        }
        case REG_BINARY:
            return ParseHexBytes(text, bytes);
        case REG_MULTI_SZ: {
            for (std::size_t begin = 0; begin <= text.size();) {
                std::size_t end = text.find('\n', begin);
                if (end == std::string::npos) end = text.size();
                std::wstring line;
                if (!win32::NarrowToWide(text.substr(begin, end - begin), line)) return false;
                if (!line.empty()) AppendWide(line, bytes);
                begin = end + 1;
            }
            AppendWide(std::wstring(), bytes);  // the empty string that ends the list
            return true;
        }
        default: {
            std::wstring wide;
            if (!win32::NarrowToWide(text, wide)) return false;
            AppendWide(wide, bytes);
            return true;
        }
    }
}

bool Failed(LSTATUS status) {
    if (status == ERROR_SUCCESS) return false;
    SetLastError(static_cast<std::uint32_t>(status));
    return true;
}

}  // namespace

bool SetRegistryValue(const RegistryValue& value) {
    HKEY root = nullptr;
    std::string subkey;
    // The registry would end a name at a NUL and so set another value.
    if (value.key.empty() || HoldsControlCharacter(value.key) ||
        value.name.find('\0') != std::string::npos || !SplitKey(value.key, root, subkey)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::wstring wideSubkey, wideName;
    std::string data;
    if (!win32::NarrowToWide(subkey, wideSubkey) || !win32::NarrowToWide(value.name, wideName)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return false;
    }
    if (!EncodeData(value.type, value.data, data)) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    HKEY key = nullptr;
    if (Failed(RegCreateKeyExW(root, wideSubkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_SET_VALUE, nullptr, &key, nullptr))) {
        return false;
    }
    const LSTATUS status =
        RegSetValueExW(key, wideName.c_str(), 0, static_cast<DWORD>(value.type),
                       reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return !Failed(status);
}

bool DeleteRegistryValue(const std::string& key, const std::string& name) {
    HKEY root = nullptr;
    std::string subkey;
    std::wstring wideSubkey, wideName;
    // A key or name that no registry key can have names no value: there is nothing to remove.
    if (key.empty() || HoldsControlCharacter(key) || name.find('\0') != std::string::npos ||
        !SplitKey(key, root, subkey) || !win32::NarrowToWide(subkey, wideSubkey) ||
        !win32::NarrowToWide(name, wideName)) {
        return true;
    }
    HKEY opened = nullptr;
    LSTATUS status = RegOpenKeyExW(root, wideSubkey.c_str(), 0, KEY_SET_VALUE, &opened);
    if (status == ERROR_FILE_NOT_FOUND) return true;
    if (Failed(status)) return false;
    status = RegDeleteValueW(opened, wideName.c_str());
    RegCloseKey(opened);
    return status == ERROR_FILE_NOT_FOUND || !Failed(status);
}

bool ListRegistryValues(std::vector<RegistryValue>& values) {
    // The real registry is the whole system's, not a store of this library: it is not listed.
    values.clear();
    SetLastError(ERROR_NOT_SUPPORTED);
    return false;
}

}  // namespace wi::platform
