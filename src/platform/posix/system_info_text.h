// The texts in which a posix system describes itself: /proc/cpuinfo, /proc/meminfo and
// os-release. They come from outside the library, so every parser looks at no more than
// kMaxSystemText bytes and takes time in proportion to what it looks at.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace wi::platform::posix {

// Far beyond meminfo and os-release (a few KiB); cpuinfo describes its first processor within it.
constexpr std::size_t kMaxSystemText = 64 * 1024;

// The value of the first line "key<separator>value" whose key, blanks around it dropped, is this
// one; blanks around the value are dropped too. Empty when no line has the key.
std::string FindKeyValue(const std::string& text, const std::string& key, char separator);

struct CpuInfo {
    std::string name;  // "model name", or where a processor has none "Processor", "cpu model", "cpu"
    int mhz = 0;       // the whole megahertz of "cpu MHz"; 0 when missing or unreadable
};
CpuInfo ParseCpuInfo(const std::string& text);

struct MemInfo {
    std::int64_t total = 0;      // MemTotal in bytes
    std::int64_t available = 0;  // MemAvailable in bytes; MemFree on kernels without it
};
// A value that is missing, not a number of kB or longer than 15 digits stays 0.
MemInfo ParseMemInfo(const std::string& text);

struct OsRelease {
    std::string name;     // PRETTY_NAME, else NAME
    std::string version;  // VERSION_ID
};
// Values lose their shell quoting ("...", '...') and the backslash of \" \\ \$ \` inside "...".
OsRelease ParseOsRelease(const std::string& text);

}  // namespace wi::platform::posix
