// An upload of 1 GiB to a local nginx against `curl -T FILE -X POST`, which streams the file as
// ours does. Both sides run as child processes, so that their CPU time and peak memory can be
// read. Ratios of ours over curl, the median of alternating pairs; goals: time and CPU time at
// most 1.0, and our peak memory under 64 MiB.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

#include "bench_common.h"
#include "platform/machine.h"
#include "support/peers.h"
#include "support/temp_machine.h"
#include "webinteractive/transfer.h"

namespace {

// The child: uploads one file of the given machine and exits 0 on a "TRUE" reply.
int UploadChild(const char* prefix, const char* url, const char* path) {
    wi::platform::SetMachinePrefix(prefix);
    wi::bench::SilenceStatus();
    char reply[1024] = {};
    const int result = IWebInteractive::UploadFile(url, path, reply, nullptr, nullptr);
    return result == 1 && std::strcmp(reply, "TRUE") == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) try {
    if (argc == 5 && std::strcmp(argv[1], "--child") == 0) {
        return UploadChild(argv[2], argv[3], argv[4]);
    }
    constexpr std::uint64_t kSize = 1ull << 30;
    constexpr long kMemoryGoalKib = 64 * 1024;
    wi::test::TempMachine machine;
    wi::test::NginxPeer web;
    const std::string hostFile = machine.HostPath("C:\\big.bin");
    wi::bench::WritePatternFile(hostFile, kSize);
    const std::string url = web.Url("/discard");
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string curl = wi::test::FindProgram("curl");

    long oursPeakKib = 0;
    const wi::bench::Pairs pairs = wi::bench::Alternate(
        5,
        [&] {
            const wi::bench::Sample sample = wi::bench::ChildSample(
                {self, "--child", machine.Prefix(), url, "C:\\big.bin"});
            oursPeakKib = std::max(oursPeakKib, sample.peakKib);
            return sample;
        },
        [&] {
            return wi::bench::ChildSample(
                {curl, "-s", "-f", "-o", "/dev/null", "-T", hostFile, "-X", "POST", url});
        });
    std::filesystem::remove(hostFile);
    wi::bench::PrintPairs("upload_large", "curl -T", pairs, 1.0, 0, 1.0);
    std::printf("upload_large: our largest peak memory %ld KiB (goal < %ld KiB: %s)\n",
                oursPeakKib, kMemoryGoalKib, oursPeakKib < kMemoryGoalKib ? "met" : "MISSED");
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "upload_large: %s\n", error.what());
    return 1;
}
