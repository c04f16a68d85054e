// What the machine tells about itself for the system information document: its operating
// system, kernel, processor and memory. The drives come from the Machine (platform/machine.h).
#pragma once

#include <cstdint>
#include <string>

namespace wi::platform {

// Texts are in the narrow code page; a character it cannot hold is '?'. A value the system does
// not tell is empty, or 0 for the numbers.
struct SystemFacts {
    std::string osName;         // "Debian GNU/Linux 12 (bookworm)"
    std::string osVersion;      // "12"
    std::string kernelName;     // "Linux"
    std::string kernelRelease;  // "6.1.0-18-amd64"
    std::string kernelVersion;  // "#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)"
    std::string architecture;   // "x86_64"
    std::string processorName;  // "Intel(R) Xeon(R) CPU E5-2680 v4 @ 2.40GHz"
    int processorCount = 0;     // logical processors online
    int processorMhz = 0;       // clock of the first processor
    std::int64_t memoryTotal = 0;      // bytes
    std::int64_t memoryAvailable = 0;  // bytes
};

// Asks the system now. Never fails: what cannot be read stays empty.
SystemFacts CollectSystemFacts();

}  // namespace wi::platform
