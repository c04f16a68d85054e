// Fuzz target for the texts a posix system describes itself in (/proc/cpuinfo, /proc/meminfo,
// os-release): any text gives values taken from one line of its first kMaxSystemText bytes,
// never negative numbers, and no crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/posix/system_info_text.h"

namespace {

namespace posix = wi::platform::posix;

void CheckValue(const std::string& value) {
    if (value.size() > posix::kMaxSystemText || value.find('\n') != std::string::npos) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const posix::CpuInfo cpu = posix::ParseCpuInfo(text);
    CheckValue(cpu.name);
    const posix::MemInfo memory = posix::ParseMemInfo(text);
    const posix::OsRelease release = posix::ParseOsRelease(text);
    CheckValue(release.name);
    CheckValue(release.version);
    if (cpu.mhz < 0 || memory.total < 0 || memory.available < 0) std::abort();
    return 0;
}
