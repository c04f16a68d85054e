// The system facts of a posix system: uname, the processors online, /proc/cpuinfo,
// /proc/meminfo and os-release.
#include "platform/system_info.h"

#include <fstream>
#include <sys/utsname.h>
#include <unistd.h>

#include "platform/codepage.h"
#include "platform/posix/system_info_text.h"

namespace wi::platform {

namespace {

// The first kMaxSystemText bytes of a system file; empty when it cannot be read.
std::string ReadSystemText(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::string text(posix::kMaxSystemText, '\0');
    in.read(&text[0], static_cast<std::streamsize>(text.size()));
    text.resize(in ? text.size() : static_cast<std::size_t>(in.gcount()));
    return text;
}

// The system writes its texts in UTF-8. Where the narrow code page cannot hold one, its ASCII
// stays and every other byte becomes '?'.
std::string Narrow(const std::string& utf8) {
    std::string narrow;
    if (Utf8ToNarrow(utf8, narrow)) return narrow;
    narrow = utf8;
    for (char& c : narrow) {
        if (static_cast<unsigned char>(c) >= 0x80) c = '?';
    }
    return narrow;
}

}  // namespace

SystemFacts CollectSystemFacts() {
    SystemFacts facts;
    struct utsname names;
    if (uname(&names) == 0) {
        facts.kernelName = Narrow(names.sysname);
        facts.kernelRelease = Narrow(names.release);
        facts.kernelVersion = Narrow(names.version);
        facts.architecture = Narrow(names.machine);
    }
    std::string release = ReadSystemText("/etc/os-release");
    if (release.empty()) release = ReadSystemText("/usr/lib/os-release");
    const posix::OsRelease os = posix::ParseOsRelease(release);
    facts.osName = os.name.empty() ? facts.kernelName : Narrow(os.name);
    facts.osVersion = Narrow(os.version);

    const posix::CpuInfo cpu = posix::ParseCpuInfo(ReadSystemText("/proc/cpuinfo"));
    facts.processorName = Narrow(cpu.name);
    facts.processorMhz = cpu.mhz;
    const long online = sysconf(_SC_NPROCESSORS_ONLN);
    facts.processorCount = online > 0 && online < (1L << 30) ? static_cast<int>(online) : 0;

    const posix::MemInfo memory = posix::ParseMemInfo(ReadSystemText("/proc/meminfo"));
    facts.memoryTotal = memory.total;
    facts.memoryAvailable = memory.available;
    return facts;
}

}  // namespace wi::platform
