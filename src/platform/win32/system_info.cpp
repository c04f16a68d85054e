// The system facts of a Windows machine: the version the kernel reports (RtlGetVersion, which
// unlike GetVersionEx does not depend on the program's manifest), the product name and build from
// the registry, the processor from the registry's hardware description and the system calls,
// and the physical memory.
#include "platform/win32/windows_api.h"

#include <cstdint>
#include <string>

#include "platform/system_info.h"
#include "platform/win32/codepage_wide.h"

namespace wi::platform {

namespace {

const wchar_t* const kCurrentVersionKey = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const wchar_t* const kProcessorKey = L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

// Far beyond any name or build text; a longer value is not read.
constexpr DWORD kMaxValueBytes = 64 * 1024;

// The raw data of a value under HKEY_LOCAL_MACHINE, seen in the native (64-bit) view; false when
// it is missing, of another type or too large.
bool ReadMachineValue(const wchar_t* subkey, const wchar_t* name, DWORD wantedType,
                      std::string& data) {
    data.clear();
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    DWORD type = 0;
    DWORD size = 0;
    bool ok = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
              type == wantedType && size <= kMaxValueBytes;
    if (ok && size > 0) {
        data.resize(size);
        // The value may change between the two calls: the second tells its size again.
        ok = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]),
                              &size) == ERROR_SUCCESS &&
             type == wantedType && size <= data.size();
        data.resize(ok ? size : 0);
    }
    RegCloseKey(key);
    return ok;
}

// A string value in the narrow code page, blanks around it dropped; empty when unreadable. The
// registry does not promise a terminating NUL: the text ends at the first one or at the data's end.
std::string ReadMachineText(const wchar_t* subkey, const wchar_t* name) {
    std::string data;
    if (!ReadMachineValue(subkey, name, REG_SZ, data)) return "";
    std::wstring wide(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    wide.resize(wide.find(L'\0') == std::wstring::npos ? wide.size() : wide.find(L'\0'));
    const std::size_t first = wide.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return "";
    const std::size_t last = wide.find_last_not_of(L" \t");
    return win32::WideToNarrowReplacing(wide.substr(first, last - first + 1));
}

// A number value; 0 when unreadable.
DWORD ReadMachineNumber(const wchar_t* subkey, const wchar_t* name) {
    std::string data;
    if (!ReadMachineValue(subkey, name, REG_DWORD, data) || data.size() != sizeof(DWORD)) return 0;
    DWORD number = 0;
    for (std::size_t at = 0; at < sizeof(DWORD); ++at) {
        number |= static_cast<DWORD>(static_cast<unsigned char>(data[at])) << (8 * at);
    }
    return number;
}

// The kernel's own version; false when ntdll does not tell it.
bool KernelVersion(RTL_OSVERSIONINFOW& version) {
    using RtlGetVersionCall = LONG(WINAPI*)(RTL_OSVERSIONINFOW*);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const FARPROC found = ntdll ? GetProcAddress(ntdll, "RtlGetVersion") : nullptr;
    if (!found) return false;
    // Through the generic function type, which converts to any other without a warning.
    const auto call = reinterpret_cast<RtlGetVersionCall>(reinterpret_cast<void (*)()>(found));
    version = RTL_OSVERSIONINFOW();
    version.dwOSVersionInfoSize = sizeof(version);
    return call(&version) == 0;
}

// The architecture under the names uname gives them, so that documents read alike on every
// system; empty for one it does not know.
std::string ArchitectureName(WORD architecture) {
    switch (architecture) {
        case PROCESSOR_ARCHITECTURE_AMD64: return "x86_64";
        case PROCESSOR_ARCHITECTURE_INTEL: return "i686";
        case PROCESSOR_ARCHITECTURE_ARM64: return "aarch64";
        case PROCESSOR_ARCHITECTURE_ARM: return "arm";
        case PROCESSOR_ARCHITECTURE_IA64: return "ia64";
        default: return "";
    }
}

std::int64_t Bytes(DWORDLONG value) {
    return value > static_cast<DWORDLONG>(INT64_MAX) ? 0 : static_cast<std::int64_t>(value);
}

}  // namespace

SystemFacts CollectSystemFacts() {
    SystemFacts facts;
    facts.kernelName = "Windows NT";
    RTL_OSVERSIONINFOW version;
    const bool known = KernelVersion(version);
    if (known) {
        const std::string majorMinor =
            std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion);
        facts.osVersion = majorMinor;
        facts.kernelRelease = majorMinor + "." + std::to_string(version.dwBuildNumber);
    }
    facts.kernelVersion = ReadMachineText(kCurrentVersionKey, L"BuildLabEx");
    if (facts.kernelVersion.empty()) {
        facts.kernelVersion = ReadMachineText(kCurrentVersionKey, L"BuildLab");
    }
    facts.osName = ReadMachineText(kCurrentVersionKey, L"ProductName");
    // Windows 11 kept the product name of Windows 10; its builds begin at 22000.
    const std::string ten = "Windows 10";
    if (known && version.dwBuildNumber >= 22000 && facts.osName.compare(0, ten.size(), ten) == 0) {
        facts.osName.replace(0, ten.size(), "Windows 11");
    }
    if (facts.osName.empty()) facts.osName = "Windows";

    SYSTEM_INFO system;
    GetNativeSystemInfo(&system);
    facts.architecture = ArchitectureName(system.wProcessorArchitecture);
    const DWORD active = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
    const DWORD count = active > 0 ? active : system.dwNumberOfProcessors;
    facts.processorCount = count < (1u << 30) ? static_cast<int>(count) : 0;
    facts.processorName = ReadMachineText(kProcessorKey, L"ProcessorNameString");
    const DWORD mhz = ReadMachineNumber(kProcessorKey, L"~MHz");
    facts.processorMhz = mhz < 10000000 ? static_cast<int>(mhz) : 0;

    MEMORYSTATUSEX memory;
    memory.dwLength = sizeof(memory);
    if (GlobalMemoryStatusEx(&memory)) {
        facts.memoryTotal = Bytes(memory.ullTotalPhys);
        facts.memoryAvailable = Bytes(memory.ullAvailPhys);
    }
    return facts;
}

}  // namespace wi::platform
