// Fuzz target for the texts a posix system describes itself in (/proc/cpuinfo, /proc/meminfo,
// os-release): any text gives, without a crash, the values that a plain reading of its first
// kMaxSystemText bytes line by line finds: the value after the first separator of the first line
// whose key is the one asked for, blanks around both dropped; numbers from their leading digits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "platform/posix/system_info_text.h"

namespace {

namespace posix = wi::platform::posix;

std::string Trim(const std::string& text) {
    const std::size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return "";
    return text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1);
}

std::string Value(const std::string& text, const std::string& key, char separator) {
    std::istringstream lines(text.substr(0, posix::kMaxSystemText));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t at = line.find(separator);
        if (at != std::string::npos && Trim(line.substr(0, at)) == key) {
            return Trim(line.substr(at + 1));
        }
    }
    return "";
}

// The leading digits as a number; -1 when there are none or more than `most`.
std::int64_t Leading(const std::string& text, std::size_t most) {
    const std::size_t digits = text.find_first_not_of("0123456789");
    const std::size_t count = digits == std::string::npos ? text.size() : digits;
    if (count == 0 || count > most) return -1;
    return std::stoll(text.substr(0, count));
}

std::int64_t Bytes(const std::string& value) {
    const std::int64_t kib = Leading(value, 15);
    const std::size_t unit = value.find_first_not_of("0123456789");
    if (kib < 0 || unit == std::string::npos || Trim(value.substr(unit)) != "kB") return 0;
    return kib * 1024;
}

std::string Unquoted(const std::string& value) {
    if (value.size() < 2 || (value[0] != '"' && value[0] != '\'') || value.back() != value[0]) {
        return value;
    }
    std::string text;
    for (std::size_t at = 1; at + 1 < value.size(); ++at) {
        if (value[0] == '"' && value[at] == '\\' && at + 2 < value.size() &&
            std::string("\"\\$`").find(value[at + 1]) != std::string::npos) {
            ++at;
        }
        text += value[at];
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const posix::CpuInfo cpu = posix::ParseCpuInfo(text);
    std::string name;
    for (const char* key : {"model name", "Processor", "cpu model", "cpu"}) {
        if (!(name = Value(text, key, ':')).empty()) break;
    }
    const std::int64_t mhz = Leading(Value(text, "cpu MHz", ':'), 7);
    if (cpu.name != name || cpu.mhz != (mhz < 0 ? 0 : mhz)) std::abort();

    const posix::MemInfo memory = posix::ParseMemInfo(text);
    const std::string available = Value(text, "MemAvailable", ':');
    if (memory.total != Bytes(Value(text, "MemTotal", ':')) ||
        memory.available != Bytes(available.empty() ? Value(text, "MemFree", ':') : available)) {
        std::abort();
    }

    const posix::OsRelease release = posix::ParseOsRelease(text);
    std::string pretty = Unquoted(Value(text, "PRETTY_NAME", '='));
    if (pretty.empty()) pretty = Unquoted(Value(text, "NAME", '='));
    if (release.name != pretty || release.version != Unquoted(Value(text, "VERSION_ID", '='))) {
        std::abort();
    }
    return 0;
}
