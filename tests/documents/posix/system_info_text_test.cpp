// The posix system's texts the system information is read from (/proc/cpuinfo, /proc/meminfo,
// /etc/os-release).
#include <gtest/gtest.h>

#include <string>

#include "platform/posix/system_info_text.h"

namespace {

namespace posix = wi::platform::posix;

TEST(SystemInfoText, ReadsTheFactsAndNothingElse) {
    const posix::CpuInfo x86 = posix::ParseCpuInfo(
        "processor\t: 0\ncpu family\t: 6\nmodel name\t: Intel(R) Xeon(R) @ 2.40GHz \n"
        "cpu MHz\t\t: 2394.454\n\nprocessor\t: 1\nmodel name\t: other\ncpu MHz\t: 1\n");
    EXPECT_EQ("Intel(R) Xeon(R) @ 2.40GHz", x86.name);
    EXPECT_EQ(2394, x86.mhz);
    const posix::CpuInfo arm = posix::ParseCpuInfo("Processor\t: ARMv7 rev 4 (v7l)\r\nBogoMIPS: 38\n");
    EXPECT_EQ("ARMv7 rev 4 (v7l)", arm.name);
    EXPECT_EQ(0, arm.mhz);
    EXPECT_EQ(0, posix::ParseCpuInfo("cpu MHz : 99999999999\n").mhz);

    const posix::MemInfo memory =
        posix::ParseMemInfo("MemTotal:       16318412 kB\nMemFree: 1 kB\nMemAvailable: 8 kB\n");
    EXPECT_EQ(16318412LL * 1024, memory.total);
    EXPECT_EQ(8 * 1024, memory.available);
    EXPECT_EQ(4096, posix::ParseMemInfo("MemFree: 4 kB\n").available);  // an old kernel
    const posix::MemInfo odd =
        posix::ParseMemInfo("MemTotal: 99999999999999999999 kB\nMemAvailable: 12 MB\n");
    EXPECT_EQ(0, odd.total);
    EXPECT_EQ(0, odd.available);

    const posix::OsRelease debian = posix::ParseOsRelease(
        "NAME=\"Debian\"\nPRETTY_NAME=\"Debian \\\"GNU\\\"/Linux 12\"\nVERSION_ID='12'\n");
    EXPECT_EQ("Debian \"GNU\"/Linux 12", debian.name);
    EXPECT_EQ("12", debian.version);
    EXPECT_EQ("Alpine", posix::ParseOsRelease("NAME=Alpine\nVERSION_ID=\"3.19\n").name);

    // Only the first kMaxSystemText bytes are looked at.
    const std::string padding(posix::kMaxSystemText, 'x');
    EXPECT_EQ("", posix::FindKeyValue(padding + "\nkey: v\n", "key", ':'));
    EXPECT_EQ("v", posix::FindKeyValue("\n" + padding.substr(10) + "\nkey: v\n", "key", ':'));
}

}  // namespace
